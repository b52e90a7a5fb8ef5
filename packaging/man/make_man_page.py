#!/usr/bin/python3
"""Makes a program's man page, compressed as Debian wants it (gzip -9n),
from the program's English --help by help2man, with the hand-written
sections of INCLUDE.h2m; for gzimport also the COMMANDS section, from each
command's help (commands_h2m.py).

Usage: make_man_page.py PROGRAM VERSION INCLUDE.h2m OUTPUT.1.gz [--commands]
"""
import gzip
import os
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import commands_h2m  # noqa: E402

# The hand-written sections name the window's Chinese captions, so the page
# is UTF-8 (help2man keeps it in a UTF-8 locale) and says so for man's
# preconv.
CODING_LINE = "'\\\" -*- coding: UTF-8 -*-\n"


def main(argv):
    program, version, include, output = argv[1:5]
    with_commands = "--commands" in argv[5:]
    env = {k: v for k, v in os.environ.items() if not (k.startswith("LC_") or k in ("LANG", "LANGUAGE"))}
    env["LC_ALL"] = "C.UTF-8"  # the English help
    with tempfile.TemporaryDirectory() as tmp:
        includes = ["--include", include]
        if with_commands:
            commands = os.path.join(tmp, "commands.h2m")
            with open(commands, "w", encoding="utf-8") as f:
                f.write(commands_h2m.page_section(program))
            includes += ["--include", commands]
        page = subprocess.run(["help2man", "--no-info", "--locale", "C.UTF-8", "--version-string", version] + includes + [program],
                              capture_output=True, check=True, env=env).stdout
    with open(output, "wb") as raw:
        # No name and no time stamp in the gzip header, as gzip -n writes it.
        with gzip.GzipFile(filename="", mode="wb", fileobj=raw, compresslevel=9, mtime=0) as f:
            f.write(CODING_LINE.encode() + page)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
