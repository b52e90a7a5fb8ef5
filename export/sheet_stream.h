// One worksheet written row by row into a new .xlsx file, through
// libxlsxwriter in its constant-memory mode: a row is on disk once the next
// one begins, so the memory does not grow with the rows. The file is written
// under a temporary name beside the target and takes the target's name only
// once it is complete; a failure leaves no file behind.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "db/value.h"

namespace gz::exp {

class SheetStream {
 public:
  // Creates the temporary file beside `targetUtf8`. Throws
  // sheet::WorkbookWriteError (CannotCreate) when the folder cannot take it.
  SheetStream(const std::string& targetUtf8, std::string_view sheetNameGbk);
  ~SheetStream();  // removes the temporary file unless finished
  SheetStream(const SheetStream&) = delete;
  SheetStream& operator=(const SheetStream&) = delete;

  // The cells of the next row, from column 0. `lines` is the most lines a
  // cell of the row holds, for its height. Texts are GB 18030.
  void beginRow(int lines = 1);
  void text(uint16_t column, std::string_view gbk, bool multiline = false);
  void number(uint16_t column, double value);
  void date(uint16_t column, const db::Date& d);

  // Title row 1 frozen, each column as wide as its widest line, then the file
  // closed and renamed to the target. Throws sheet::WorkbookWriteError.
  void finish();

 private:
  struct Book;
  void widen(uint16_t column, std::size_t width);

  std::string target_, temporary_;
  std::unique_ptr<Book> book_;
  uint32_t row_ = 0;  // the row being written, counted from 1
  std::vector<std::size_t> widths_;
};

}  // namespace gz::exp
