#include "export/sheet_stream.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <random>
#include <system_error>

#include "sheet/model/dates.h"
#include "sheet/xlsx_writer.h"
#include "text/gb18030.h"

namespace gz::exp {
namespace {

constexpr std::size_t kDateWidth = 11;
constexpr std::size_t kMaxWidth = 60;
constexpr double kLineHeight = 15;

std::filesystem::path pathOf(const std::string& utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string utf8Of(const std::filesystem::path& p) {
  const std::u8string u = p.u8string();
  return std::string(u.begin(), u.end());
}

[[noreturn]] void cannotCreate(const std::string& target, const std::string& why) {
  throw sheet::WorkbookWriteError(sheet::WriteFault::CannotCreate, "不能创建工作簿: " + target + ": " + why);
}

[[noreturn]] void refused(const std::string& target, const std::string& why) {
  throw sheet::WorkbookWriteError(sheet::WriteFault::Refused, "不能写入工作簿: " + target + ": " + why);
}

// A new empty file of a name of its own beside `target`, made exclusively so
// that no other file is ever written over. Its path (UTF-8).
std::string createTemporaryBeside(const std::string& target) {
  const std::filesystem::path t = pathOf(target);
  std::random_device random;
  for (int attempt = 0; attempt < 20; ++attempt) {
    std::filesystem::path candidate = t;
    candidate += ".part" + std::to_string(random() % 1000000);
    if (std::FILE* f = std::fopen(utf8Of(candidate).c_str(), "wx")) {
      std::fclose(f);
      return utf8Of(candidate);
    }
    if (errno != EEXIST) cannotCreate(target, std::generic_category().message(errno));
  }
  cannotCreate(target, std::generic_category().message(EEXIST));
}

// The width a text takes: a byte per column (a Chinese character is two),
// the longest of its lines.
std::size_t textWidth(std::string_view gbk) {
  std::size_t widest = 0, line = 0;
  for (const char c : gbk) {
    line = c == '\n' ? 0 : line + 1;
    widest = std::max(widest, line);
  }
  return widest;
}

}  // namespace

struct SheetStream::Book {
  lxw_workbook* book = nullptr;
  lxw_worksheet* sheet = nullptr;
  lxw_format* date = nullptr;
  lxw_format* wrapped = nullptr;
  lxw_format* title = nullptr;
};

SheetStream::SheetStream(const std::string& targetUtf8, std::string_view sheetNameGbk)
    : target_(targetUtf8), temporary_(createTemporaryBeside(targetUtf8)), book_(std::make_unique<Book>()) {
  lxw_workbook_options options{};
  options.constant_memory = LXW_TRUE;
  const std::string folder = utf8Of(pathOf(temporary_).parent_path());
  options.tmpdir = folder.empty() ? nullptr : const_cast<char*>(folder.c_str());
  book_->book = workbook_new_opt(temporary_.c_str(), &options);
  if (!book_->book) cannotCreate(target_, "libxlsxwriter");
  book_->sheet = workbook_add_worksheet(book_->book, text::gb18030ToUtf8(sheetNameGbk).c_str());
  if (!book_->sheet) refused(target_, lxw_strerror(LXW_ERROR_INVALID_SHEETNAME_CHARACTER));
  book_->date = workbook_add_format(book_->book);
  format_set_num_format(book_->date, "yyyy-mm-dd");
  book_->wrapped = workbook_add_format(book_->book);
  format_set_text_wrap(book_->wrapped);
  format_set_align(book_->wrapped, LXW_ALIGN_VERTICAL_TOP);
  // Identity numbers and other digit texts stay texts when edited.
  format_set_num_format(book_->wrapped, "@");
  book_->title = workbook_add_format(book_->book);
  format_set_bold(book_->title);
}

SheetStream::~SheetStream() {
  if (book_ && book_->book) {
    workbook_close(book_->book);
    std::error_code ignored;
    std::filesystem::remove(pathOf(temporary_), ignored);
  }
}

void SheetStream::beginRow(int lines) {
  ++row_;
  if (lines > 1)
    if (lxw_error e = worksheet_set_row(book_->sheet, row_ - 1, kLineHeight * lines, nullptr); e != LXW_NO_ERROR)
      refused(target_, lxw_strerror(e));
}

void SheetStream::widen(uint16_t column, std::size_t width) {
  if (widths_.size() <= column) widths_.resize(column + 1u, 0);
  widths_[column] = std::max(widths_[column], width);
}

void SheetStream::text(uint16_t column, std::string_view gbk, bool multiline) {
  lxw_format* format = row_ == 1 ? book_->title : multiline ? book_->wrapped : nullptr;
  const lxw_error e = worksheet_write_string(book_->sheet, row_ - 1, column, text::gb18030ToUtf8(gbk).c_str(), format);
  if (e != LXW_NO_ERROR) refused(target_, lxw_strerror(e));
  widen(column, textWidth(gbk));
}

void SheetStream::number(uint16_t column, double value) {
  const lxw_error e = worksheet_write_number(book_->sheet, row_ - 1, column, value, nullptr);
  if (e != LXW_NO_ERROR) refused(target_, lxw_strerror(e));
  widen(column, std::to_string(static_cast<long long>(value)).size());
}

void SheetStream::date(uint16_t column, const db::Date& d) {
  const std::optional<double> serial = sheet::serialFromCivil(d.year, d.month, d.day);
  if (!serial) refused(target_, "date");
  const lxw_error e = worksheet_write_number(book_->sheet, row_ - 1, column, *serial, book_->date);
  if (e != LXW_NO_ERROR) refused(target_, lxw_strerror(e));
  widen(column, kDateWidth);
}

void SheetStream::finish() {
  for (std::size_t c = 0; c < widths_.size(); ++c) {
    const double width = static_cast<double>(std::min(widths_[c], kMaxWidth) + 2);
    worksheet_set_column(book_->sheet, static_cast<lxw_col_t>(c), static_cast<lxw_col_t>(c), width, nullptr);
  }
  worksheet_freeze_panes(book_->sheet, 1, 0);
  const lxw_error closed = workbook_close(book_->book);
  book_->book = nullptr;
  std::error_code ec;
  if (closed != LXW_NO_ERROR) {
    std::filesystem::remove(pathOf(temporary_), ec);
    refused(target_, lxw_strerror(closed));
  }
  std::filesystem::rename(pathOf(temporary_), pathOf(target_), ec);
  if (ec) {
    std::error_code ignored;
    std::filesystem::remove(pathOf(temporary_), ignored);
    cannotCreate(target_, ec.message());
  }
}

}  // namespace gz::exp
