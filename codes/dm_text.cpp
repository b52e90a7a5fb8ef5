#include "codes/dm_text.h"

#include "text/bytes.h"
#include "text/gb18030.h"

namespace gz::codes {

std::optional<DmEntry> parseDmLine(std::string_view line) {
  line = text::trimView(line);
  const std::size_t eq = line.find('=');
  if (eq == std::string_view::npos) return std::nullopt;
  const std::string_view key = text::trimView(line.substr(0, eq));
  if (key.empty()) return std::nullopt;
  const std::string_view rest = line.substr(eq + 1);
  const std::string_view value = text::trimView(text::cutToBytes(rest, kDmValueBytes));
  return DmEntry{std::string(key), std::string(value)};
}

std::size_t applyDmText(std::string_view content, CodeMap& map, std::vector<std::size_t>* unreadableLines) {
  std::size_t applied = 0;
  std::size_t number = 0;
  for (const std::string& line : text::splitLines(content)) {
    ++number;
    if (!text::isValidGb18030(line)) {
      if (unreadableLines) unreadableLines->push_back(number);
      continue;
    }
    if (auto entry = parseDmLine(line)) {
      map.set(std::move(entry->key), std::move(entry->value));
      ++applied;
    }
  }
  return applied;
}

namespace {

// Whether bytes that are valid UTF-8 were written as UTF-8. GBK text is
// valid UTF-8 only by chance, and then almost always as two-byte sequences:
// a GBK character whose first byte is C2 to DF and whose second is 80 to BF
// (女 is C5 AE) reads as one. Chinese text in UTF-8 is three-byte sequences.
// So the text is UTF-8 when it holds a three-byte sequence and either no
// two-byte one, or no GB 18030 reading at all (an odd run of three-byte
// characters leaves a lead byte before an ASCII one, as in 男=1). ASCII-only
// text is the same either way and stays as it is.
bool looksLikeUtf8(std::string_view bytes) {
  if (!text::isValidUtf8(bytes)) return false;
  std::size_t twoByte = 0, threeByte = 0;
  for (std::size_t i = 0; i < bytes.size();) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    const std::size_t width = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
    if (width == 2) ++twoByte;
    if (width == 3) ++threeByte;
    i += width;
  }
  if (threeByte == 0) return false;
  return twoByte == 0 || !text::isValidGb18030(bytes);
}

}  // namespace

DmText decodeDmBytes(std::string_view bytes) {
  constexpr std::string_view kBom = "\xEF\xBB\xBF";
  bool utf8 = false;
  if (bytes.substr(0, kBom.size()) == kBom) {
    bytes.remove_prefix(kBom.size());
    utf8 = true;
  } else {
    utf8 = looksLikeUtf8(bytes);
  }
  DmText out;
  if (!utf8) {
    out.text.assign(bytes);
    return out;
  }
  out.text = text::utf8ToGb18030(bytes);  // valid UTF-8 converts without loss
  out.fromUtf8 = true;
  return out;
}

}  // namespace gz::codes
