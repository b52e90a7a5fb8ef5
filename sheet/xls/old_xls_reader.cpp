// readOldXls(): Excel 2.x, 3.0 and 4.0 worksheets. Such a file is a bare
// record stream (no compound file) holding one sheet; its BOF id gives the
// version: 0x0009 BIFF2, 0x0209 BIFF3, 0x0409 BIFF4. The cell records differ
// from the later ones: BIFF2 cells carry three attribute bytes whose second
// names the cell's number format directly, BIFF3 and BIFF4 cells an XF index
// whose record names it. Number formats are numbered in the order of their
// FORMAT records. Texts are 8-bit in the code page of the CODEPAGE record.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "sheet/model/read_error.h"
#include "sheet/model/reader_helpers.h"
#include "sheet/model/workbook.h"
#include "sheet/shared/number_format.h"
#include "sheet/xls/biff_records.h"
#include "sheet/xls/biff_text.h"
#include "sheet/xls/biff_values.h"
#include "sheet/xls/xls_reader.h"
#include "text/gb18030.h"

namespace gz::sheet {

namespace {

using namespace biff;

// The grid of these versions.
constexpr uint32_t kMaxRows = 16384;
constexpr uint32_t kMaxCols = 256;
constexpr double k1904Offset = 1462;
constexpr uint16_t kWorksheetBof = 0x0010;
constexpr uint16_t kWorkbookBof = 0x0100;

// Code page numbers these versions write for the Windows ANSI and Mac code pages.
int codePageOf(uint16_t stored) { return stored == 0x8001 ? 1252 : stored; }

enum Record2 : uint16_t {  // BIFF2 ids
  kInteger2 = 0x0002,
  kNumber2 = 0x0003,
  kLabel2 = 0x0004,
  kBoolErr2 = 0x0005,
  kFormula2 = 0x0006,
  kString2 = 0x0007,
  kFormat23 = 0x001E,
};
enum Record34 : uint16_t {  // BIFF3 and BIFF4 ids
  kNumber34 = 0x0203,
  kLabel34 = 0x0204,
  kBoolErr34 = 0x0205,
  kFormula3 = 0x0206,
  kFormula4 = 0x0406,
  kString34 = 0x0207,
  kRk34 = 0x027E,
  kXf3 = 0x0243,
  kXf4 = 0x0443,
  kFormat4 = 0x041E,
};

class OldSheetReader {
 public:
  OldSheetReader(Bytes stream, Workbook& book) : stream_(stream), book_(book) {}

  void read() {
    RecordReader reader(stream_);
    Record rec;
    if (!reader.next(rec)) throw ReadError(kNotWorkbook, WorkbookFault::NotAWorkbook);
    if (!isOldBofId(rec.id) || rec.payload.size() < 4) throw ReadError(kNotWorkbook, WorkbookFault::NotAWorkbook);
    const uint16_t type = le16(rec.payload.data() + 2);
    if (type == kWorkbookBof)
      throw ReadError("不支持含多个工作表的Excel 4.0工作簿,请在Excel中另存为新版本", WorkbookFault::Unsupported);
    if (type != kWorksheetBof) throw ReadError("文件是Excel图表或宏表,不是工作表", WorkbookFault::Unsupported);
    decoder_ = TextDecoder(codePage_);
    int depth = 1;
    while (reader.next(rec)) {
      if (isOldBofId(rec.id) || rec.id == kBof) {
        ++depth;
      } else if (rec.id == kEof) {
        if (--depth == 0) return finish();
      } else if (depth == 1) {
        handle(rec);
      }
    }
    throw ReadError("文件已损坏(工作表不完整)");
  }

 private:
  struct CellRef {
    uint32_t row, col;
    int format;  // index of the cell's number format, -1 when unknown
  };

  void finish() {
    if (!decoder_.codePageKnown()) {
      addNotice(book_.notice_, text::utf8ToGb18030("工作簿的代码页" + std::to_string(decoder_.codePage()) +
                                                   "不受支持,文本按西欧代码页1252读取"));
    }
  }

  static void requireSize(const Record& rec, std::size_t size) {
    if (rec.payload.size() < size) throw ReadError(kRecordTooShort);
  }

  // Row, column and format of a cell record; nullopt when outside the grid.
  std::optional<CellRef> cellRef(const Record& rec, std::size_t size) const {
    requireSize(rec, size);
    const uint8_t* p = rec.payload.data();
    const uint32_t row = le16(p), col = le16(p + 2);
    if (row >= kMaxRows || col >= kMaxCols) return std::nullopt;
    int format = -1;
    if (rec.id < 0x0100) {
      format = p[5] & 0x3F;  // BIFF2 attributes: their second byte holds the format
    } else {
      const uint16_t xf = le16(p + 4);
      if (xf < xfFormats_.size()) format = xfFormats_[xf];
    }
    return CellRef{row + 1, col + 1, format};
  }

  bool isDate(int format) {
    if (format < 0 || static_cast<std::size_t>(format) >= formats_.size()) return false;
    if (dateByFormat_.size() < formats_.size()) dateByFormat_.resize(formats_.size(), -1);
    int8_t& known = dateByFormat_[format];
    if (known < 0) {
      const std::string utf8 = text::gb18030ToUtf8(decoder_.fromCodePage(formats_[format]).text);
      known = isDateFormat(-1, utf8) ? 1 : 0;
    }
    return known == 1;
  }

  void setNumber(const CellRef& c, double v) {
    const bool date = isDate(c.format);
    if (date && date1904_) v += k1904Offset;
    book_.sheet_.setNumber(c.row, c.col, v, date);
  }

  void setText(const CellRef& c, std::string_view bytes) {
    DecodedText t = decoder_.fromCodePage(bytes);
    book_.sheet_.setText(c.row, c.col, std::move(t.text), t.unreadable);
  }

  // A length (one or two bytes) at `at`, then that many bytes of text.
  static std::string_view countedBytes(const Record& rec, std::size_t at, bool twoByteLength) {
    requireSize(rec, at + (twoByteLength ? 2 : 1));
    const uint8_t* p = rec.payload.data() + at;
    const std::size_t n = twoByteLength ? le16(p) : p[0];
    const std::size_t start = at + (twoByteLength ? 2 : 1);
    requireSize(rec, start + n);
    return std::string_view(reinterpret_cast<const char*>(rec.payload.data() + start), n);
  }

  void setBoolErr(const CellRef& c, uint8_t value, uint8_t isError) {
    if (isError) book_.sheet_.setError(c.row, c.col, value);
    else book_.sheet_.setBoolean(c.row, c.col, value != 0);
  }

  void setFormula(const CellRef& c, const uint8_t* result8) {
    const FormulaResult result = decodeFormulaResult(result8);
    switch (result.kind) {
      case FormulaResult::Kind::Number: setNumber(c, result.number); break;
      case FormulaResult::Kind::String: pendingString_ = c; break;
      case FormulaResult::Kind::Boolean: book_.sheet_.setBoolean(c.row, c.col, result.code != 0); break;
      case FormulaResult::Kind::Error: book_.sheet_.setError(c.row, c.col, result.code); break;
      case FormulaResult::Kind::EmptyString: book_.sheet_.setText(c.row, c.col, std::string()); break;
      case FormulaResult::Kind::Unknown: break;
    }
  }

  void handle(const Record& rec) {
    if (!handleSetting(rec)) handleCell(rec);
  }

  // The records that set how the cells read (code page, date base, formats);
  // false for any other record.
  bool handleSetting(const Record& rec) {
    const uint8_t* p = rec.payload.data();
    switch (rec.id) {
      case kCodePage:
        requireSize(rec, 2);
        codePage_ = codePageOf(le16(p));
        decoder_ = TextDecoder(codePage_);
        break;
      case kDateMode:
        requireSize(rec, 2);
        date1904_ = le16(p) == 1;
        break;
      case kFilePass: throw ReadError(kEncrypted, WorkbookFault::Encrypted);
      case kFormat23: formats_.emplace_back(countedBytes(rec, 0, false)); break;
      case kFormat4: formats_.emplace_back(countedBytes(rec, 2, false)); break;
      case kXf3:
      case kXf4:
        requireSize(rec, 2);
        xfFormats_.push_back(p[1]);
        break;
      default: return false;
    }
    return true;
  }

  void handleCell(const Record& rec) {
    const uint8_t* p = rec.payload.data();
    switch (rec.id) {
      case kInteger2:
        if (auto c = cellRef(rec, 9)) setNumber(*c, le16(p + 7));
        break;
      case kNumber2:
        if (auto c = cellRef(rec, 15)) setNumber(*c, leDouble(p + 7));
        break;
      case kLabel2:
        if (auto c = cellRef(rec, 8)) setText(*c, countedBytes(rec, 7, false));
        break;
      case kBoolErr2:
        if (auto c = cellRef(rec, 9)) setBoolErr(*c, p[7], p[8]);
        break;
      case kFormula2:
        pendingString_.reset();
        if (auto c = cellRef(rec, 15)) setFormula(*c, p + 7);
        break;
      case kNumber34:
        if (auto c = cellRef(rec, 14)) setNumber(*c, leDouble(p + 6));
        break;
      case kRk34:
        if (auto c = cellRef(rec, 10)) setNumber(*c, decodeRk(le32(p + 6)));
        break;
      case kLabel34:
        if (auto c = cellRef(rec, 8)) setText(*c, countedBytes(rec, 6, true));
        break;
      case kBoolErr34:
        if (auto c = cellRef(rec, 8)) setBoolErr(*c, p[6], p[7]);
        break;
      case kFormula3:
      case kFormula4:
        pendingString_.reset();
        if (auto c = cellRef(rec, 14)) setFormula(*c, p + 6);
        break;
      case kString2:
      case kString34:
        if (pendingString_) {
          setText(*pendingString_, countedBytes(rec, 0, rec.id == kString34));
          pendingString_.reset();
        }
        break;
      default: break;
    }
  }

  Bytes stream_;
  Workbook& book_;
  int codePage_ = 1252;
  TextDecoder decoder_{1252};
  bool date1904_ = false;
  std::vector<std::string> formats_;      // raw format codes, by index
  std::vector<int8_t> dateByFormat_;      // -1 not yet known, 0 no, 1 a date format
  std::vector<uint8_t> xfFormats_;        // BIFF3/4: the format of each XF
  std::optional<CellRef> pendingString_;  // a formula whose text comes in the next STRING record
};

}  // namespace

std::unique_ptr<Workbook> readOldXls(const unsigned char* data, std::size_t size, const std::string& name,
                                     const SheetRequest& request) {
  auto book = startSingleSheet(name, request);
  try {
    OldSheetReader(Bytes(data, size), *book).read();
  } catch (const ReadError& e) {
    throw WorkbookError(e.fault(), e.what(), name);
  }
  book->sheet_.finish();
  return book;
}

}  // namespace gz::sheet
