#include "sheet/model/reader_helpers.h"

#include <filesystem>

#include "sheet/model/read_error.h"
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

std::unique_ptr<Workbook> startSingleSheet(const std::string& fileUtf8, const SheetRequest& request) {
  auto book = std::make_unique<Workbook>();
  book->sheetName_ = sheetNameOfFile(fileUtf8);
  book->sheetNames_ = {book->sheetName_};
  try {
    pickSheet(book->sheetNames_, 0, request);
  } catch (const ReadError& e) {
    throw WorkbookError(e.fault(), e.what(), fileUtf8);
  }
  book->sheet_.limitRows(request.rowLimit);
  return book;
}

void addNotice(std::string& notice, const std::string& gb) {
  if (!notice.empty()) notice += "; ";
  notice += gb;
}

}  // namespace gz::sheet
