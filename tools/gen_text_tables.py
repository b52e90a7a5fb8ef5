#!/usr/bin/env python3
"""Writes the compiled-in character tables of text/: text/gb18030_table.cpp
and text/codepage_tables.cpp. The output is committed, so this only needs to
run again when the tables should change.

GB 18030-2022, the character set of all text inside the tool:
  - single bytes 0x00-0x7F are ASCII; 0x80 and 0xFF are no character;
  - two-byte codes: lead 0x81-0xFE, trail 0x40-0x7E or 0x80-0xFE, every one
    of the 23,940 mapped (the user-defined areas to the private use area);
  - four-byte codes b1 b2 b3 b4 (b1, b3 in 0x81-0xFE; b2, b4 in 0x30-0x39)
    numbered linearly from 0x81308130; indices 0-39,419 are the rest of the
    Basic Multilingual Plane (surrogates excepted) in runs, and the index
    0x2E248 + n (from 0x90308130) is U+10000 + n, algorithmically.

Python's gb18030 codec follows the 2000 edition. The 2005 edition moved one
character (U+1E3F) out of the private use area onto the two-byte code A8BC,
and the 2022 edition 18 more; each time the private-use character got the
four-byte code the moved one had before. Both swaps are applied here. Where a Java runtime is installed, the result is checked against
Java's GB18030 charset in its 2022 form as well.

The single-byte tables give Unicode for the bytes 0x80-0xFF of Windows-1252,
Windows-1251 and Mac Roman; bytes a code page leaves undefined map to the C1
control of the same number, as Windows converts them, so nothing is lost.
"""

import pathlib
import shutil
import subprocess
import tempfile

ROOT = pathlib.Path(__file__).resolve().parent.parent
LEADS = range(0x81, 0xFF)
TRAILS = range(0x40, 0xFF)  # 0x7F is in the span but never a trail byte

# (two-byte code, its character now, the private-use character it had before)
MOVED_2005_2022 = [
    (0xA8BC, 0x1E3F, 0xE7C7),
    (0xA6D9, 0xFE10, 0xE78D), (0xA6DA, 0xFE12, 0xE78E), (0xA6DB, 0xFE11, 0xE78F),
    (0xA6DC, 0xFE13, 0xE790), (0xA6DD, 0xFE14, 0xE791), (0xA6DE, 0xFE15, 0xE792),
    (0xA6DF, 0xFE16, 0xE793), (0xA6EC, 0xFE17, 0xE794), (0xA6ED, 0xFE18, 0xE795),
    (0xA6F3, 0xFE19, 0xE796),
    (0xFE59, 0x9FB4, 0xE81E), (0xFE61, 0x9FB5, 0xE826), (0xFE66, 0x9FB6, 0xE82B),
    (0xFE67, 0x9FB7, 0xE82C), (0xFE6D, 0x9FB8, 0xE832), (0xFE7E, 0x9FB9, 0xE843),
    (0xFE90, 0x9FBA, 0xE854), (0xFEA0, 0x9FBB, 0xE864),
]


def linear(b):
    return (((b[0] - 0x81) * 10 + (b[1] - 0x30)) * 126 + (b[2] - 0x81)) * 10 + (b[3] - 0x30)


def bmp_mapping():
    """Unicode -> bytes for every BMP character but ASCII and the surrogates."""
    mapping = {}
    for u in range(0x80, 0x10000):
        if 0xD800 <= u <= 0xDFFF:
            continue
        mapping[u] = chr(u).encode("gb18030")
    for code, new, old in MOVED_2005_2022:
        two = bytes([code >> 8, code & 0xFF])
        assert mapping[old] == two, hex(old)
        four = mapping[new]
        assert len(four) == 4, hex(new)
        mapping[new], mapping[old] = two, four
    return mapping


def check_against_java(mapping):
    if not shutil.which("java"):
        print("no Java runtime: the 2022 table is not cross-checked")
        return
    src = """
import java.nio.charset.Charset;
public class Dump { public static void main(String[] a) {
  Charset cs = Charset.forName("GB18030");
  StringBuilder sb = new StringBuilder();
  for (int u = 0x80; u < 0x10000; u++) {
    if (u >= 0xD800 && u <= 0xDFFF) continue;
    byte[] b = new String(Character.toChars(u)).getBytes(cs);
    sb.append(Integer.toHexString(u)).append(' ');
    for (byte x : b) sb.append(String.format("%02x", x & 0xFF));
    sb.append('\\n');
  }
  System.out.print(sb);
}}
"""
    with tempfile.TemporaryDirectory() as d:
        (pathlib.Path(d) / "Dump.java").write_text(src)
        subprocess.run(["javac", "Dump.java"], cwd=d, check=True)
        out = subprocess.run(["java", "-Djdk.charset.GB18030=2022", "-cp", d, "Dump"],
                             capture_output=True, text=True, check=True).stdout
    java = {}
    for line in out.splitlines():
        u, b = line.split()
        java[int(u, 16)] = bytes.fromhex(b)
    differ = [u for u in mapping if java.get(u) != mapping[u]]
    assert not differ, "differs from Java's GB18030-2022: " + ", ".join(hex(u) for u in differ[:20])
    print("checked against Java's GB18030-2022: %d characters agree" % len(mapping))


def two_byte_table(mapping):
    table = {}
    for u, b in mapping.items():
        if len(b) == 2:
            assert (b[0], b[1]) not in table
            table[(b[0], b[1])] = u
    assert len(table) == 126 * 190, len(table)
    return [table.get((l, t), 0) for l in LEADS for t in TRAILS]


def four_byte_runs(mapping):
    """Runs of consecutive linear index and consecutive Unicode, by index."""
    pairs = sorted((linear(b), u) for u, b in mapping.items() if len(b) == 4)
    assert [p[0] for p in pairs] == list(range(len(pairs))), "four-byte BMP codes are not contiguous"
    runs = []
    for index, u in pairs:
        if runs and runs[-1][0] + runs[-1][2] == index and runs[-1][1] + runs[-1][2] == u:
            runs[-1][2] += 1
        else:
            runs.append([index, u, 1])
    return runs, len(pairs)


def c_array(values, per_line=12, fmt="0x%04X"):
    lines = []
    for i in range(0, len(values), per_line):
        lines.append("    " + ", ".join(fmt % v for v in values[i:i + per_line]) + ",")
    return "\n".join(lines)


HEADER = """// Generated by tools/gen_text_tables.py: do not edit by hand.
#include <cstdint>

#include "text/gb18030_tables.h"

namespace gz::text::detail {
"""


def write_gb18030(mapping):
    values = two_byte_table(mapping)
    runs, count = four_byte_runs(mapping)
    out = HEADER + """
// Unicode of lead byte 0x81..0xFE (rows) and trail byte 0x40..0xFE (columns);
// 0 for trail byte 0x7F, which is never a trail byte.
const uint16_t kGb18030TwoByte[kTwoByteLeads * kTwoByteTrails] = {
%s
};

// The four-byte codes of the Basic Multilingual Plane: runs of consecutive
// linear index and consecutive Unicode, ordered by index and covering
// indices 0..kFourByteBmpCount-1 without a gap.
const FourByteRun kGb18030FourByteRuns[kFourByteRunCount] = {
%s
};

}  // namespace gz::text::detail
""" % (c_array(values), "\n".join("    {%d, 0x%04X, %d}," % tuple(r) for r in runs))
    (ROOT / "text" / "gb18030_table.cpp").write_text(out)
    return len(runs), count


def high_half(codec):
    values = []
    for b in range(0x80, 0x100):
        try:
            values.append(ord(bytes([b]).decode(codec)))
        except UnicodeDecodeError:
            values.append(b)  # undefined: the C1 control of that number
    return values


def write_single_byte():
    parts = []
    for name, codec, what in [
        ("kWindows1252High", "cp1252", "Windows-1252"),
        ("kWindows1251High", "cp1251", "Windows-1251"),
        ("kMacRomanHigh", "mac_roman", "Mac Roman"),
    ]:
        parts.append("// %s bytes 0x80..0xFF.\nconst uint16_t %s[128] = {\n%s\n};\n"
                     % (what, name, c_array(high_half(codec), per_line=8)))
    out = HEADER + "\n" + "\n".join(parts) + "\n}  // namespace gz::text::detail\n"
    (ROOT / "text" / "codepage_tables.cpp").write_text(out)


if __name__ == "__main__":
    mapping = bmp_mapping()
    check_against_java(mapping)
    run_count, count = write_gb18030(mapping)
    write_single_byte()
    print("kFourByteRunCount = %d, kFourByteBmpCount = %d" % (run_count, count))
