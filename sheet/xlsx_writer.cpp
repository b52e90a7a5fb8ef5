#include "sheet/xlsx_writer.h"

#include <xlsxwriter.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <tuple>

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

// The formats of a workbook, made once each: a cell's number form, whether
// its text wraps and its row's fill.
class Formats {
 public:
  enum class Form { Plain, Date, DateTime, Wrapped };
  explicit Formats(lxw_workbook* book) : book_(book) {}

  lxw_format* get(Form form, uint32_t fill) {
    if (form == Form::Plain && fill == kNoFill) return nullptr;
    auto [it, fresh] = made_.try_emplace({form, fill}, nullptr);
    if (!fresh) return it->second;
    lxw_format* f = workbook_add_format(book_);
    if (form == Form::Date) format_set_num_format(f, "yyyy-mm-dd");
    if (form == Form::DateTime) format_set_num_format(f, "yyyy-mm-dd hh:mm:ss");
    if (form == Form::Wrapped) format_set_text_wrap(f);
    if (fill != kNoFill) {
      format_set_pattern(f, LXW_PATTERN_SOLID);
      format_set_bg_color(f, fill);
    }
    return it->second = f;
  }

 private:
  lxw_workbook* book_;
  std::map<std::tuple<Form, uint32_t>, lxw_format*> made_;
};

void writeCell(const std::string& path, lxw_worksheet* sheet, lxw_row_t row, lxw_col_t col, const CellValue& v,
               Formats& formats, uint32_t fill) {
  using Form = Formats::Form;
  switch (v.kind) {
    case CellKind::Empty:
      if (fill != kNoFill) check(path, worksheet_write_blank(sheet, row, col, formats.get(Form::Plain, fill)));
      break;
    case CellKind::Text: {
      const Form form = v.text.find('\n') != std::string::npos ? Form::Wrapped : Form::Plain;
      check(path,
            worksheet_write_string(sheet, row, col, text::gb18030ToUtf8(v.text).c_str(), formats.get(form, fill)));
      break;
    }
    case CellKind::Number: {
      Form form = Form::Plain;
      if (v.isDate) form = v.number == std::floor(v.number) ? Form::Date : Form::DateTime;
      check(path, worksheet_write_number(sheet, row, col, v.number, formats.get(form, fill)));
      break;
    }
    case CellKind::Boolean:
      check(path, worksheet_write_boolean(sheet, row, col, v.number != 0, formats.get(Form::Plain, fill)));
      break;
    case CellKind::Error:
      check(path, worksheet_write_string(sheet, row, col, cellText(v).c_str(), formats.get(Form::Plain, fill)));
      break;
  }
}

}  // namespace

void writeXlsx(const std::string& pathUtf8, std::string_view sheetNameGbk,
               const std::vector<std::vector<CellValue>>& rows) {
  writeXlsx(pathUtf8, sheetNameGbk, rows.size(), [&rows](std::size_t r, std::vector<CellValue>& cells) {
    cells = rows[r];
    return kNoFill;
  });
}

void writeXlsx(const std::string& pathUtf8, std::string_view sheetNameGbk, std::size_t rowCount,
               const RowSource& source) {
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
  Formats formats(book.get());

  std::vector<CellValue> cells;
  for (std::size_t r = 0; r < rowCount; ++r) {
    cells.clear();
    const uint32_t fill = source(r, cells);
    for (std::size_t c = 0; c < cells.size(); ++c)
      writeCell(pathUtf8, sheet, static_cast<lxw_row_t>(r), static_cast<lxw_col_t>(c), cells[c], formats, fill);
  }
  const lxw_error closed = workbook_close(book.release());
  if (closed != LXW_NO_ERROR) refused(pathUtf8, closed);
}

}  // namespace gz::sheet
