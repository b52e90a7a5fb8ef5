#include "export/code_texts.h"

#include "codes/dm_file.h"

namespace gz::exp {

CodeTexts::CodeTexts(const std::vector<codes::DmEntry>& inFileOrder, codes::CodeMap map) : map_(std::move(map)) {
  for (const codes::DmEntry& e : inFileOrder) {
    // A key given again later with another code stands for that code only.
    const auto final = map_.entries().find(e.key);
    if (e.value.empty() || final == map_.entries().end() || final->second != e.value) continue;
    textByCode_.try_emplace(e.value, e.key);
  }
}

const std::string* CodeTexts::textFor(std::string_view code) const {
  const auto found = textByCode_.find(code);
  return found == textByCode_.end() ? nullptr : &found->second;
}

LoadedCodeTexts loadCodeTexts(const std::filesystem::path& path) {
  codes::CodeMap map;
  std::vector<codes::DmEntry> entries;
  const codes::DmLoadOutcome outcome = codes::loadDmFile(map, path, &entries);
  LoadedCodeTexts loaded;
  loaded.missing = outcome.status == codes::DmLoadOutcome::Status::Missing;
  loaded.texts = CodeTexts(entries, std::move(map));
  return loaded;
}

}  // namespace gz::exp
