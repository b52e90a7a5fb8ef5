// The text of the code file: one "key=value" entry per line, GBK.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "codes/code_map.h"

namespace gz::codes {

// A value keeps at most this many bytes of the text after the "=".
inline constexpr std::size_t kDmValueBytes = 20;

struct DmEntry {
  std::string key;
  std::string value;
};

// One line of the code file. The line is trimmed, split at its first "=",
// the key trimmed, and the value cut to its first kDmValueBytes bytes and
// only then trimmed, so blanks after the "=" use up part of those bytes.
// A cut that would split a double-byte character drops that character's
// first byte rather than storing half a character. A line without "=" or
// with an empty key gives nothing.
std::optional<DmEntry> parseDmLine(std::string_view line);

// Applies every line of `gbk` to `map` in order, so a key given twice ends
// with its last value. Returns the number of lines that gave an entry.
std::size_t applyDmText(std::string_view gbk, CodeMap& map);

// The bytes of a code file as GBK text. GBK is the default; a file that
// starts with the UTF-8 byte order mark, or that is valid UTF-8 and holds
// non-ASCII bytes, is taken as UTF-8 (as editors on Linux write it) and
// converted. GBK Chinese text is practically never valid UTF-8, while
// ASCII-only text is the same in both.
struct DmText {
  std::string gbk;
  bool fromUtf8 = false;
  std::size_t unconvertible = 0;  // characters GBK cannot hold, now "?"
};
DmText decodeDmBytes(std::string_view bytes);

}  // namespace gz::codes
