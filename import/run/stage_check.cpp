#include <filesystem>
#include <system_error>

#include "import/run/run_stages.h"
#include "import/shared/run_texts.h"

namespace gz::imp {
namespace {

bool workbookFileExists(const std::string& pathUtf8) {
  if (pathUtf8.empty()) return false;
  const std::u8string u8(pathUtf8.begin(), pathUtf8.end());
  std::error_code ec;
  return std::filesystem::is_regular_file(std::filesystem::path(u8), ec);
}

}  // namespace

std::optional<ImportOutcome> checkWorkbook(const std::string& pathUtf8) {
  if (workbookFileExists(pathUtf8)) return std::nullopt;
  return endedBeforeWriting(RunEnd::NoFile, noWorkbookMessage(pathUtf8));
}

}  // namespace gz::imp
