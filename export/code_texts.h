// The texts the export writes in place of stored codes: for each code, the
// first text of the code file that the import turns into that code.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "codes/code_map.h"
#include "codes/dm_text.h"

namespace gz::exp {

class CodeTexts {
 public:
  CodeTexts() = default;  // no code file: every code is written as itself
  // `inFileOrder` are the entries of the code file in its order, `map` the
  // code map they make (the last line of a key wins, as for the import).
  CodeTexts(const std::vector<codes::DmEntry>& inFileOrder, codes::CodeMap map);

  // The first text of the file whose code is `code`; null when none is.
  const std::string* textFor(std::string_view code) const;
  // The code map as the import looks texts up in it.
  codes::CodeMap& map() { return map_; }

 private:
  std::map<std::string, std::string, codes::ByteOrder> textByCode_;
  codes::CodeMap map_;
};

struct LoadedCodeTexts {
  CodeTexts texts;
  bool missing = false;  // no code file at the path: every code is written as itself
};

// Reads the code file at `path`. Throws codes::DmFileError when it exists
// but cannot be read.
LoadedCodeTexts loadCodeTexts(const std::filesystem::path& path);

}  // namespace gz::exp
