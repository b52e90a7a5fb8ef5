#include "codes/dm_text.h"

#include "text/bytes.h"
#include "text/gbk.h"

namespace gz::codes {

namespace {

bool isGbkLeadByte(unsigned char b) { return b >= 0x81 && b <= 0xFE; }

// The length of the first `limit` bytes of `s`, shortened by one when the
// last of them is the first byte of a double-byte character.
std::size_t cutAtCharacter(std::string_view s, std::size_t limit) {
  std::size_t i = 0;
  while (i < s.size() && i < limit) {
    std::size_t width = isGbkLeadByte(static_cast<unsigned char>(s[i])) ? 2 : 1;
    if (i + width > limit) break;
    i += width;
  }
  return i < s.size() ? i : s.size();
}

}  // namespace

std::optional<DmEntry> parseDmLine(std::string_view line) {
  line = text::trimView(line);
  const std::size_t eq = line.find('=');
  if (eq == std::string_view::npos) return std::nullopt;
  const std::string_view key = text::trimView(line.substr(0, eq));
  if (key.empty()) return std::nullopt;
  const std::string_view rest = line.substr(eq + 1);
  const std::string_view value = text::trimView(rest.substr(0, cutAtCharacter(rest, kDmValueBytes)));
  return DmEntry{std::string(key), std::string(value)};
}

std::size_t applyDmText(std::string_view gbk, CodeMap& map) {
  std::size_t applied = 0;
  for (const std::string& line : text::splitLines(gbk)) {
    if (auto entry = parseDmLine(line)) {
      map.set(std::move(entry->key), std::move(entry->value));
      ++applied;
    }
  }
  return applied;
}

DmText decodeDmBytes(std::string_view bytes) {
  constexpr std::string_view kBom = "\xEF\xBB\xBF";
  bool utf8 = false;
  if (bytes.substr(0, kBom.size()) == kBom) {
    bytes.remove_prefix(kBom.size());
    utf8 = true;
  } else {
    bool nonAscii = false;
    for (char c : bytes) {
      if (static_cast<unsigned char>(c) >= 0x80) {
        nonAscii = true;
        break;
      }
    }
    utf8 = nonAscii && text::isValidUtf8(bytes);
  }
  DmText out;
  if (!utf8) {
    out.gbk.assign(bytes);
    return out;
  }
  text::ConversionReport report;
  out.gbk = text::utf8ToGbk(bytes, &report);
  out.fromUtf8 = true;
  out.unconvertible = report.replaced;
  return out;
}

}  // namespace gz::codes
