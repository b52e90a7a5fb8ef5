// Reading workbooks: one interface over the readers of every workbook form.
//
// A workbook is opened once per import; only its active sheet is read and kept,
// sparsely. Texts are GB 18030 bytes (converted from the file's encoding on reading).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace gz::sheet {

// Why a file could not be read as a workbook.
enum class WorkbookFault : uint8_t {
  Missing,        // no file at the path
  NotAWorkbook,   // a file, but not a workbook of any form the reader knows
  Damaged,        // a workbook whose structure is broken or truncated
  Encrypted,      // it has a password to open and none was given
  WrongPassword,  // the password given does not open it
  Unsupported,    // a workbook form or version the reader does not read
  Unreadable,     // the file itself could not be read (permissions, I/O, memory)
};

// A file that cannot be read as a workbook. reason() is the operator's
// sentence without the file name, file() the name the operator chose (both
// UTF-8); what() names the file once: "<reason>: <file>".
class WorkbookError : public std::runtime_error {
 public:
  WorkbookError(WorkbookFault fault, const std::string& reason, const std::string& file)
      : std::runtime_error(file.empty() ? reason : reason + ": " + file), fault_(fault), reason_(reason), file_(file) {}
  WorkbookFault fault() const { return fault_; }
  const std::string& reason() const { return reason_; }
  const std::string& file() const { return file_; }

 private:
  WorkbookFault fault_;
  std::string reason_;
  std::string file_;
};

enum class CellKind : uint8_t {
  Empty,
  Number,   // number; `isDate` when its format shows a date or time
  Text,     // text (GB 18030)
  Boolean,  // number holds 0 or 1
  Error,    // number holds the BIFF error code (0x00 #NULL!, 0x07 #DIV/0!, 0x2A #N/A, ...)
};

// A cell's value as the sheet holds it ("cell value", unconverted).
struct CellValue {
  CellKind kind = CellKind::Empty;
  bool isDate = false;  // Number only: a date-formatted serial day count
  double number = 0;    // Number, Boolean, Error
  std::string text;     // Text (GB 18030)
  // Text only: the file held malformed text here (bytes that are no character
  // of its code page, an unpaired surrogate). `text` shows it with U+FFFD in
  // the unreadable places; it must not be stored as if it were the cell's text.
  bool unreadable = false;
};

// Compact sparse storage of one sheet, shared by both readers.
class SheetData {
 public:
  // Texts are interned once (shared strings) and referred to by index.
  uint32_t addString(std::string text, bool unreadable = false);
  void setNumber(uint32_t row, uint32_t col, double v, bool isDate);
  void setString(uint32_t row, uint32_t col, uint32_t stringIndex);
  void setText(uint32_t row, uint32_t col, std::string text, bool unreadable = false) {
    setString(row, col, addString(std::move(text), unreadable));
  }
  void setBoolean(uint32_t row, uint32_t col, bool v);
  void setError(uint32_t row, uint32_t col, uint8_t code);
  // Sorts the cells by (row, column); of two cells at one place the later set wins.
  void finish();

  // Row and column count from 1. Out of range or never set: Empty.
  CellValue value(uint32_t row, uint32_t col) const;
  // The text of a text cell without a copy; null for any other cell.
  const std::string* textAt(uint32_t row, uint32_t col) const;
  // True for a text cell whose text the file held malformed.
  bool unreadableAt(uint32_t row, uint32_t col) const;
  uint32_t lastRow() const;  // 0 for an empty sheet
  uint32_t lastColumn(uint32_t row) const;  // of that row; 0 when it has no cells
  std::size_t cellCount() const { return cellCount_; }

 private:
  struct Cell {
    uint32_t row;
    uint16_t col;
    CellKind kind;
    bool isDate;
    union {
      double number;
      uint32_t stringIndex;
    };
  };
  static_assert(sizeof(double) == 8);
  // Cells live in fixed blocks, so the store never grows by copying (which
  // would hold the old and the new array at once: twice a large sheet).
  static constexpr std::size_t kBlockBits = 16;
  static constexpr std::size_t kBlockSize = std::size_t{1} << kBlockBits;
  Cell& cellAt(std::size_t i) { return blocks_[i >> kBlockBits][i & (kBlockSize - 1)]; }
  const Cell& cellAt(std::size_t i) const { return blocks_[i >> kBlockBits][i & (kBlockSize - 1)]; }
  void push(const Cell& c);
  const Cell* find(uint32_t row, uint32_t col) const;  // null for an empty place
  void sortCells();
  std::vector<std::vector<Cell>> blocks_;
  std::size_t cellCount_ = 0;
  std::vector<std::string> strings_;
  std::vector<bool> unreadable_;  // by string index
  // Open-addressing hash of strings_: each slot holds an index + 1, 0 when
  // free. Four bytes a slot instead of a node per string keeps large sheets small.
  std::vector<uint32_t> stringSlots_;
  void rehashStrings(std::size_t slotCount);
  std::vector<uint32_t> rowStart_;  // built by finish(): first cell index of each row
  bool finished_ = false;
};

class Workbook {
 public:
  virtual ~Workbook() = default;
  // Name of the sheet that is read: the one active when the workbook opens (GB 18030).
  virtual const std::string& sheetName() const = 0;
  // A remark for the import pane, empty when none, e.g. that the active tab
  // was a chart sheet and the first worksheet is read instead (GB 18030).
  virtual const std::string& notice() const = 0;
  virtual const SheetData& sheet() const = 0;

  CellValue value(uint32_t row, uint32_t col) const { return sheet().value(row, col); }
};

// Asked for the password of an encrypted workbook that the default password
// does not open. `file` is the name the operator chose (UTF-8); `lastWasWrong`
// tells that the password given before did not open it. Returns the password
// (UTF-8), or nullopt to give up.
using PasswordSource = std::function<std::optional<std::string>(const std::string& file, bool lastWasWrong)>;

// Opens `path` (UTF-8 file name). The form comes from the file's bytes, never
// its name (sheet/workbook_form.h): .xls and WPS .et/.ett in a compound file
// (or, holding an encrypted package, the .xlsx reader after decryption),
// .xlsx and .xlsm, OpenDocument (.ods, .fods), Excel 2.x to 4.0 worksheets
// and bare BIFF5/8 streams, XML Spreadsheet 2003, a web page's first table,
// CSV and tab-separated text. An encrypted workbook opens when the default
// password opens it; otherwise the fault is Encrypted. Throws WorkbookError.
std::unique_ptr<Workbook> openWorkbook(const std::string& pathUtf8);
// The same, asking `askPassword` for the password of an encrypted workbook
// until it opens or `askPassword` gives up (then the fault is WrongPassword
// after a wrong password, else Encrypted).
std::unique_ptr<Workbook> openWorkbookAskingPassword(const std::string& pathUtf8, const PasswordSource& askPassword);

// The three cell forms the import reads.
//
// Cell text: empty -> ""; text unchanged; number -> at most 15 significant
// digits, no point for whole numbers; a date-formatted number -> its date in
// the short date format "yyyy/m/d" with separator "-" (1965-3-1), followed by
// a blank and the time "h:mm:ss" when it has one; booleans "TRUE"/"FALSE";
// errors "#NULL!", "#DIV/0!", "#VALUE!", "#REF!", "#NAME?", "#NUM!", "#N/A".
std::string cellText(const CellValue& v);

// Cell date as a serial day count from 1899-12-30. A date-formatted number
// gives itself; empty gives 0. A number the cell shows plainly is a day count,
// except a number typed the way clerks write a date: year.month with a whole
// part from 1900 to 2100 (1965.03 and 1965.3 are March 1965, 1965.1 is
// October, as 1965.10 is kept), or the digits 19650301 or 196503; those are
// that day or the first of that month. A text is read as a date in any form
// writtenDateValue() (sheet/date_text.h) takes, else as a number of days.
// Anything else (booleans, errors, other text): nullopt.
std::optional<double> cellDate(const CellValue& v);

// Where a cell date came from, so that the import can say when it read a
// plain number as a date a clerk typed.
enum class DateSource : uint8_t {
  Value,            // a date, a day count or an empty cell
  Text,             // a date written as text
  YearMonthNumber,  // a plain number read as year.month
  DigitsNumber,     // a plain whole number read as the digits of a date
};
struct CellDateReading {
  double serial = 0;
  DateSource source = DateSource::Value;
};
std::optional<CellDateReading> readCellDate(const CellValue& v);

// Serial day count <-> calendar date, arithmetically (no loops over days).
struct CivilDate {
  int year = 1899, month = 12, day = 30;
};
CivilDate civilFromSerial(double serial);  // the day part, truncated toward -inf
std::optional<double> serialFromCivil(int year, int month, int day);  // nullopt when not a real date
// "yyyy-mm-dd" (1965-03-01), the form stored in csny and gzsj.
std::string isoDateText(double serial);

}  // namespace gz::sheet
