// Loading the code map from the code file "dm.txt" before each import.
#pragma once

#include <cstddef>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "codes/code_map.h"
#include "codes/dm_text.h"

namespace gz::codes {

// The code file, named bare: it is read from the working directory.
inline constexpr std::string_view kDmFileName = "dm.txt";

// The error-pane line for a missing code file: "代码文件dm.txt不存在".
inline constexpr std::string_view kDmFileMissingLine =
    "\xB4\xFA\xC2\xEB\xCE\xC4\xBC\xFE"
    "dm.txt"
    "\xB2\xBB\xB4\xE6\xD4\xDA";

// The code file exists but cannot be read. what() is one line (UTF-8) that
// names the file and the reason; the import must not start.
class DmFileError : public std::runtime_error {
 public:
  DmFileError(const std::string& message, std::filesystem::path path)
      : std::runtime_error(message), path_(std::move(path)) {}
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

struct DmLoadOutcome {
  enum class Status { Loaded, Missing };
  Status status = Status::Missing;
  std::size_t entries = 0;        // keys in the map after the load
  bool fromUtf8 = false;                    // the file was UTF-8 and was converted
  std::vector<std::size_t> unreadableLines;  // 1-based lines not used: malformed text
};

// The error-pane line for a line of the code file that was not used because
// it holds bytes that are no character: "代码文件dm.txt第3行有无法识别的文字,未使用".
std::string dmUnreadableLine(std::size_t lineNumber);

// Empties `map` and fills it from the code file at `path`. When there is no
// such file (a folder of that name counts as none), the map stays empty and
// the outcome is Missing: the caller writes kDmFileMissingLine to the error
// pane and the import goes ahead. Throws DmFileError when the file exists but
// cannot be read; the map is then empty too. The entries applied, in the
// order of the file, go to `inFileOrder` when given.
DmLoadOutcome loadDmFile(CodeMap& map, const std::filesystem::path& path = std::filesystem::path(kDmFileName),
                         std::vector<DmEntry>* inFileOrder = nullptr);

}  // namespace gz::codes
