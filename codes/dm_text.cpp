#include "codes/dm_text.h"

#include "text/bytes.h"
#include "text/encoding_guess.h"
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

std::size_t applyDmText(std::string_view content, CodeMap& map, std::vector<std::size_t>* unreadableLines,
                        std::vector<DmEntry>* inFileOrder) {
  std::size_t applied = 0;
  std::size_t number = 0;
  for (const std::string& line : text::splitLines(content)) {
    ++number;
    if (!text::isValidGb18030(line)) {
      if (unreadableLines) unreadableLines->push_back(number);
      continue;
    }
    if (auto entry = parseDmLine(line)) {
      if (inFileOrder) inFileOrder->push_back(*entry);
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
    utf8 = text::looksLikeUtf8(bytes);
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
