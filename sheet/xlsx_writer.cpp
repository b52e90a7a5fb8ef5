#include "sheet/xlsx_writer.h"

#include <xlsxwriter.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>

#include "sheet/model/cell_forms.h"
#include "text/gb18030.h"

namespace gz::sheet {
namespace {

struct CloseWorkbook {
  void operator()(lxw_workbook* book) const { workbook_close(book); }
};

[[noreturn]] void refused(const std::string& path, lxw_error error) {
  throw WorkbookWriteError(WriteFault::Refused, "不能写入工作簿: " + path + ": " + lxw_strerror(error));
}

void check(const std::string& path, lxw_error error) {
  if (error != LXW_NO_ERROR) refused(path, error);
}

}  // namespace

void writeXlsx(const std::string& pathUtf8, std::string_view sheetNameGbk,
               const std::vector<std::vector<CellValue>>& rows) {
  // Tried here first: the library would print its own complaint about a
  // file it cannot create.
  {
    const std::filesystem::path path(std::u8string(pathUtf8.begin(), pathUtf8.end()));
    std::ofstream probe(path, std::ios::binary | std::ios::trunc);
    if (!probe) throw WorkbookWriteError(WriteFault::CannotCreate, "不能创建工作簿: " + pathUtf8);
  }
  std::unique_ptr<lxw_workbook, CloseWorkbook> book(workbook_new(pathUtf8.c_str()));
  if (!book) throw WorkbookWriteError(WriteFault::CannotCreate, "不能创建工作簿: " + pathUtf8);
  const std::string sheetName = text::gb18030ToUtf8(sheetNameGbk);
  lxw_worksheet* sheet = workbook_add_worksheet(book.get(), sheetName.c_str());
  if (!sheet) refused(pathUtf8, LXW_ERROR_INVALID_SHEETNAME_CHARACTER);
  lxw_format* date = workbook_add_format(book.get());
  format_set_num_format(date, "yyyy-mm-dd");
  lxw_format* dateTime = workbook_add_format(book.get());
  format_set_num_format(dateTime, "yyyy-mm-dd hh:mm:ss");

  for (std::size_t r = 0; r < rows.size(); ++r) {
    for (std::size_t c = 0; c < rows[r].size(); ++c) {
      const CellValue& v = rows[r][c];
      const auto row = static_cast<lxw_row_t>(r);
      const auto col = static_cast<lxw_col_t>(c);
      switch (v.kind) {
        case CellKind::Empty: break;
        case CellKind::Text:
          check(pathUtf8, worksheet_write_string(sheet, row, col, text::gb18030ToUtf8(v.text).c_str(), nullptr));
          break;
        case CellKind::Number: {
          lxw_format* format = nullptr;
          if (v.isDate) format = v.number == std::floor(v.number) ? date : dateTime;
          check(pathUtf8, worksheet_write_number(sheet, row, col, v.number, format));
          break;
        }
        case CellKind::Boolean:
          check(pathUtf8, worksheet_write_boolean(sheet, row, col, v.number != 0, nullptr));
          break;
        case CellKind::Error:
          check(pathUtf8, worksheet_write_string(sheet, row, col, cellText(v).c_str(), nullptr));
          break;
      }
    }
  }
  const lxw_error closed = workbook_close(book.release());
  if (closed != LXW_NO_ERROR) refused(pathUtf8, closed);
}

}  // namespace gz::sheet
