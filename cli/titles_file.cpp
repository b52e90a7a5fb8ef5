#include "cli/titles_file.h"

#include <QFileInfo>
#include <filesystem>
#include <string>

#include "cli/command.h"
#include "codes/dm_file.h"

namespace gz::cli {

std::optional<int> loadTitleNames(imp::TitleNames& names, const QString& codesPath) {
  const std::filesystem::path folder = std::filesystem::path(QFileInfo(codesPath).path().toStdU16String());
  try {
    for (std::size_t line : imp::loadTitlesFile(names, folder / imp::kTitlesFileName))
      printErr("标题文件titles.txt第" + std::to_string(line) + "行有无法识别的文字,未使用");
  } catch (const codes::DmFileError& e) {
    return fail(e.what());
  }
  return std::nullopt;
}

}  // namespace gz::cli
