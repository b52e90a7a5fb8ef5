// The text of the code file: one "key=value" entry per line, GB 18030.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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
// A cut that would split a two- or four-byte character drops that character
// rather than storing a part of it. A line without "=" or
// with an empty key gives nothing.
std::optional<DmEntry> parseDmLine(std::string_view line);

// Applies every line of `content` to `map` in order, so a key given twice ends
// with its last value. A line holding bytes that are no GB 18030 character
// is not applied (its value would reach the database changed); its 1-based
// number goes to `unreadableLines`. Each entry applied is also added to
// `inFileOrder` when given. Returns the number of lines that gave an entry.
std::size_t applyDmText(std::string_view content, CodeMap& map, std::vector<std::size_t>* unreadableLines = nullptr,
                        std::vector<DmEntry>* inFileOrder = nullptr);

// The bytes of a code file as GB 18030 text, which is the default and reads
// every GBK file as it is. A file that starts with the UTF-8 byte order mark
// is UTF-8 (as editors on Linux write it) and is converted; so is a file that
// is valid UTF-8 and holds Chinese text the way UTF-8 encodes it, in
// three-byte sequences, unless it also holds two-byte sequences and reads as
// GB 18030 just as well. GBK text that merely happens to be valid UTF-8
// ("女=2" is C5 AE 3D 32) stays as it is.
struct DmText {
  std::string text;
  bool fromUtf8 = false;
};
DmText decodeDmBytes(std::string_view bytes);

}  // namespace gz::codes
