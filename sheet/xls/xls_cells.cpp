#include "sheet/xls/xls_cells.h"

#include <limits>
#include <optional>

#include "sheet/model/read_error.h"
#include "sheet/xls/biff_text.h"
#include "sheet/xls/biff_values.h"

namespace gz::sheet {
namespace {

using namespace biff;

// Days between the 1904 and the 1900 date systems.
constexpr double k1904Offset = 1462;
constexpr uint32_t kNoString = std::numeric_limits<uint32_t>::max();

class CellReader {
 public:
  CellReader(const WorkbookGlobals& globals, SheetData& out)
      : g_(globals),
        out_(out),
        decoder_(globals.codePage),
        maxRows_(globals.biff8 ? 65536 : 16384),
        sstIndex_(globals.sst.size(), kNoString) {}

  void read(Bytes stream, uint32_t offset) {
    const char* badOffset = "文件已损坏(工作表位置无效)";
    if (offset >= stream.size()) throw ReadError(badOffset);
    RecordReader reader(stream, offset);
    Record rec;
    if (!reader.next(rec) || rec.id != kBof) throw ReadError(badOffset);
    int depth = 1;
    while (reader.next(rec)) {
      if (rec.id == kBof) {
        ++depth;
      } else if (rec.id == kEof) {
        if (--depth == 0) return;
      } else if (depth == 1) {
        handle(rec, reader);
      }
    }
    throw ReadError("文件已损坏(工作表不完整)");
  }

 private:
  struct CellRef {
    uint32_t row, col;
    uint16_t xf;
  };

  // Row, column and format of a cell record; nullopt when outside the grid.
  std::optional<CellRef> cellRef(const Record& rec, std::size_t size) const {
    if (rec.payload.size() < size) throw ReadError(kRecordTooShort);
    const uint8_t* p = rec.payload.data();
    const uint32_t row = le16(p), col = le16(p + 2);
    if (row >= maxRows_ || col >= 256) return std::nullopt;
    return CellRef{row + 1, col + 1, le16(p + 4)};
  }

  bool isDate(uint16_t xf) const { return xf < g_.xfIsDate.size() && g_.xfIsDate[xf]; }

  void setNumber(const CellRef& c, double v) {
    const bool date = isDate(c.xf);
    if (date && g_.date1904) v += k1904Offset;
    out_.setNumber(c.row, c.col, v, date);
  }

  DecodedText readCellText(const Record& rec, std::size_t at, std::vector<Bytes> parts = {}) {
    parts.insert(parts.begin(), rec.payload.subspan(at));
    PartsReader r(std::move(parts));
    if (g_.biff8) return decoder_.fromUnicode(readUnicodeString(r, StringLength::TwoBytes));
    return decoder_.fromCodePage(readByteString(r, StringLength::TwoBytes));
  }

  void handle(const Record& rec, RecordReader& reader) {
    switch (rec.id) {
      case kNumber:
        if (auto c = cellRef(rec, 14)) setNumber(*c, leDouble(rec.payload.data() + 6));
        break;
      case kRk:
        if (auto c = cellRef(rec, 10)) setNumber(*c, decodeRk(le32(rec.payload.data() + 6)));
        break;
      case kMulRk: readMulRk(rec); break;
      case kLabelSst:
        if (auto c = cellRef(rec, 10)) setShared(*c, le32(rec.payload.data() + 6));
        break;
      case kLabel:
      case kRString:
        if (auto c = cellRef(rec, 8)) setText(*c, readCellText(rec, 6));
        break;
      case kBoolErr:
        if (auto c = cellRef(rec, 8)) {
          const uint8_t value = rec.payload[6];
          if (rec.payload[7]) {
            out_.setError(c->row, c->col, value);
          } else {
            out_.setBoolean(c->row, c->col, value != 0);
          }
        }
        break;
      case kFormula:
        pendingString_.reset();
        if (auto c = cellRef(rec, 20)) readFormula(*c, rec);
        break;
      case kString:
        if (pendingString_) {
          std::vector<Bytes> parts;
          reader.takeContinues(parts);
          setText(*pendingString_, readCellText(rec, 0, std::move(parts)));
          pendingString_.reset();
        }
        break;
      case kRow: readRow(rec); break;
      default: break;
    }
  }

  // A row record's options mark a row hidden by hand or by a filter (its
  // height made zero); such rows are read like any other and reported.
  void readRow(const Record& rec) {
    constexpr std::size_t kOptionsAt = 12;
    constexpr uint16_t kRowHidden = 0x0020;
    if (rec.payload.size() < kOptionsAt + 2) throw ReadError(kRecordTooShort);
    const uint32_t row = le16(rec.payload.data());
    if (row < maxRows_ && (le16(rec.payload.data() + kOptionsAt) & kRowHidden) != 0) out_.markHidden(row + 1);
  }

  void setText(const CellRef& c, DecodedText t) { out_.setText(c.row, c.col, std::move(t.text), t.unreadable); }

  void readMulRk(const Record& rec) {
    if (rec.payload.size() < 6) throw ReadError(kRecordTooShort);
    const uint8_t* p = rec.payload.data();
    const uint32_t row = le16(p), firstCol = le16(p + 2);
    // Row, first column, then six bytes (format, RK) per cell, then the last column.
    const std::size_t count = (rec.payload.size() - 6) / 6;
    if (row >= maxRows_) return;
    for (std::size_t i = 0; i < count && firstCol + i < 256; ++i) {
      const uint8_t* cell = p + 4 + 6 * i;
      setNumber(CellRef{row + 1, static_cast<uint32_t>(firstCol + i + 1), le16(cell)}, decodeRk(le32(cell + 2)));
    }
  }

  void setShared(const CellRef& c, uint32_t index) {
    if (index >= g_.sst.size()) throw ReadError("文件已损坏(共享字符串索引无效)");
    // Each shared string is decoded once; later cells refer to its index.
    if (sstIndex_[index] == kNoString) {
      DecodedText t = g_.sst.text(index);
      sstIndex_[index] = out_.addString(std::move(t.text), t.unreadable);
    }
    out_.setString(c.row, c.col, sstIndex_[index]);
  }

  void readFormula(const CellRef& c, const Record& rec) {
    const FormulaResult result = decodeFormulaResult(rec.payload.data() + 6);
    switch (result.kind) {
      case FormulaResult::Kind::Number: setNumber(c, result.number); break;
      case FormulaResult::Kind::String: pendingString_ = c; break;
      case FormulaResult::Kind::Boolean: out_.setBoolean(c.row, c.col, result.code != 0); break;
      case FormulaResult::Kind::Error: out_.setError(c.row, c.col, result.code); break;
      case FormulaResult::Kind::EmptyString: out_.setText(c.row, c.col, std::string()); break;
      case FormulaResult::Kind::Unknown: break;
    }
  }

  const WorkbookGlobals& g_;
  SheetData& out_;
  TextDecoder decoder_;
  const uint32_t maxRows_;
  std::vector<uint32_t> sstIndex_;  // shared string -> index in `out_`, once handed over
  std::optional<CellRef> pendingString_;  // a formula whose text comes in the next STRING record
};

}  // namespace

void readSheetCells(Bytes stream, const SheetEntry& sheet, const WorkbookGlobals& globals, SheetData& out) {
  CellReader(globals, out).read(stream, sheet.streamOffset);
}

}  // namespace gz::sheet
