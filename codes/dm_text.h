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

// The bytes of a code file as GBK text. GBK is the default. A file that
// starts with the UTF-8 byte order mark is UTF-8 (as editors on Linux write
// it) and is converted; so is a file that is valid UTF-8 and holds Chinese
// text the way UTF-8 encodes it, in three-byte sequences, unless it also
// holds two-byte sequences and reads as GBK just as well. GBK text that
// merely happens to be valid UTF-8 ("女=2" is C5 AE 3D 32) stays GBK.
struct DmText {
  std::string gbk;
  bool fromUtf8 = false;
  std::size_t unconvertible = 0;  // characters GBK cannot hold, now "?"
};
DmText decodeDmBytes(std::string_view bytes);

}  // namespace gz::codes
