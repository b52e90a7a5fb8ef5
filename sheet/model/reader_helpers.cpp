#include "sheet/model/reader_helpers.h"

#include <filesystem>

#include "sheet/model/workbook_error.h"
#include "text/gb18030.h"

namespace gz::sheet {

std::string sheetNameOfFile(const std::string& fileUtf8) {
  const std::filesystem::path path(std::u8string(fileUtf8.begin(), fileUtf8.end()));
  const std::u8string stem = path.stem().u8string();
  return text::utf8ToGb18030(std::string(stem.begin(), stem.end()));
}

void checkCellCount(const SheetData& sheet, const std::string& file) {
  if (sheet.cellCount() > kMaxCellsRead)
    throw WorkbookError(WorkbookFault::Unreadable, "工作簿的单元格过多,无法读取", file);
}

void addNotice(std::string& notice, const std::string& gb) {
  if (!notice.empty()) notice += "; ";
  notice += gb;
}

}  // namespace gz::sheet
