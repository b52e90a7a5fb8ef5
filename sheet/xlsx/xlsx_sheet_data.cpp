// The cells of one worksheet part, read as a stream: a full document tree of
// a large sheet would take hundreds of megabytes.
#include <charconv>
#include <cmath>
#include <optional>
#include <string>

#include "sheet/shared/value_text.h"
#include "sheet/shared/xml_reader.h"
#include "sheet/xlsx/xlsx_parts.h"

namespace gz::sheet {

namespace {

constexpr uint32_t kMaxRow = 1048576;
constexpr uint32_t kMaxCol = 16384;
// 16 bytes a cell: 128 MB at most, far beyond any personnel sheet.
constexpr std::size_t kMaxCells = 1u << 23;
// Days between the 1900 and the 1904 date systems.
constexpr double k1904Offset = 1462;

std::optional<uint32_t> parseUnsigned(std::string_view s) {
  s = trimXmlBlanks(s);
  uint32_t v = 0;
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec != std::errc() || p != s.data() + s.size()) return std::nullopt;
  return v;
}

// "AB12" -> column 28, row 12. Column letters up to "XFD".
bool parseCellRef(std::string_view ref, uint32_t& row, uint32_t& col) {
  std::size_t i = 0;
  uint32_t c = 0;
  while (i < ref.size() && i < 4) {
    char ch = ref[i];
    if (ch >= 'a' && ch <= 'z') ch = char(ch - 'a' + 'A');
    if (ch < 'A' || ch > 'Z') break;
    c = c * 26 + uint32_t(ch - 'A' + 1);
    ++i;
  }
  if (i == 0 || i > 3) return false;
  const std::optional<uint32_t> r = parseUnsigned(ref.substr(i));
  if (!r || ref.substr(i).empty() || ref[i] < '0' || ref[i] > '9') return false;
  row = *r;
  col = c;
  return true;
}

class SheetDataReader {
 public:
  SheetDataReader(const ZipPackage& package, std::string_view part, const XlsxCellContext& context, XlsxTextSink& sink)
      : xml_(package, part), context_(context), sink_(sink) {}

  void run() {
    int sheetDataDepth = -1;
    while (xml_.next()) {
      if (sheetDataDepth < 0) {
        if (xml_.isStart() && xml_.localName() == "sheetData") {
          if (xml_.isEmptyElement()) return;
          sheetDataDepth = xml_.depth();
        }
        continue;
      }
      if (xml_.isEnd() && xml_.depth() == sheetDataDepth) return;  // nothing after it matters here
      if (!xml_.isStart()) continue;
      if (xml_.localName() == "row" && xml_.depth() == sheetDataDepth + 1) startRow();
      else if (xml_.localName() == "c" && xml_.depth() == sheetDataDepth + 2) readCell();
    }
  }

 private:
  void startRow() {
    if (auto r = xml_.attribute("r")) {
      const std::optional<uint32_t> n = parseUnsigned(*r);
      if (!n) xml_.fail("行号无效 \"" + *r + "\"");
      row_ = *n;
    } else {
      ++row_;
    }
    checkRow();
    col_ = 0;
    // Rows hidden by hand or by a filter are read like any other, and reported.
    const std::optional<std::string> hidden = xml_.attribute("hidden");
    if (hidden && (*hidden == "1" || *hidden == "true")) sink_.sheet.markHidden(row_);
  }

  void checkRow() {
    if (row_ < 1 || row_ > kMaxRow) xml_.fail("行号超出范围 " + std::to_string(row_));
  }

  void readCell() {
    if (auto ref = xml_.attribute("r")) {
      uint32_t r = 0, c = 0;
      if (!parseCellRef(*ref, r, c)) xml_.fail("单元格位置无效 \"" + *ref + "\"");
      row_ = r;
      col_ = c;
    } else {
      if (row_ == 0) row_ = 1;  // a cell outside any row element
      ++col_;
    }
    checkRow();
    if (col_ < 1 || col_ > kMaxCol) xml_.fail("列号超出范围 " + std::to_string(col_));

    const std::string type = xml_.attribute("t").value_or("n");
    const uint32_t style = parseUnsigned(xml_.attribute("s").value_or("0")).value_or(0);
    if (xml_.isEmptyElement()) return;

    std::optional<std::string> v, inlineText;
    const int depth = xml_.depth();
    while (xml_.next()) {
      if (xml_.isEnd() && !xml_.isStart() && xml_.depth() == depth) break;
      if (!xml_.isStart()) continue;
      if (xml_.localName() == "v") v = xml_.elementText();
      else if (xml_.localName() == "is") inlineText = xml_.stringItemText();
    }
    store(type, style, v, inlineText);
  }

  void store(const std::string& type, uint32_t style, const std::optional<std::string>& v,
             const std::optional<std::string>& inlineText) {
    SheetData& sheet = sink_.sheet;
    if (type == "inlineStr") {
      if (inlineText) countCell(), sheet.setString(row_, col_, sink_.add(*inlineText));
      else if (v) countCell(), sheet.setString(row_, col_, sink_.add(*v));
      return;
    }
    // No value, or an empty one: a formula never calculated, or a formatted
    // empty cell. Only a formula's text result may be the empty text.
    if (!v || (type != "str" && trimXmlBlanks(*v).empty())) return;
    countCell();
    if (type == "s") {
      const std::optional<uint32_t> i = parseUnsigned(*v);
      if (!i || *i >= context_.sharedStrings.size()) xml_.fail("共享字符串编号无效 " + cellName());
      sheet.setString(row_, col_, context_.sharedStrings[*i]);
    } else if (type == "str") {
      sheet.setString(row_, col_, sink_.add(*v));
    } else if (type == "b") {
      const std::string_view b = trimXmlBlanks(*v);
      sheet.setBoolean(row_, col_, b == "1" || b == "true");
    } else if (type == "e") {
      sheet.setError(row_, col_, errorCodeOf(*v));
    } else if (type == "d") {
      if (const std::optional<double> serial = parseIsoDateTime(*v)) sheet.setNumber(row_, col_, *serial, true);
      else sheet.setString(row_, col_, sink_.add(*v));  // keep what the cell says rather than lose it
    } else {
      const std::optional<double> n = parseXmlNumber(*v);
      if (!n) xml_.fail("数值无效 " + cellName());
      const bool isDate = style < context_.dateStyles.size() && context_.dateStyles[style];
      sheet.setNumber(row_, col_, isDate && context_.date1904 ? *n + k1904Offset : *n, isDate);
    }
  }

  void countCell() {
    if (++cells_ > kMaxCells) xml_.fail("单元格过多");
  }

  std::string cellName() const {
    std::string letters;
    for (uint32_t c = col_; c > 0; c = (c - 1) / 26) letters.insert(letters.begin(), char('A' + (c - 1) % 26));
    return letters + std::to_string(row_);
  }

  XmlReader xml_;
  const XlsxCellContext& context_;
  XlsxTextSink& sink_;
  uint32_t row_ = 0;
  uint32_t col_ = 0;
  std::size_t cells_ = 0;
};

}  // namespace

void readXlsxSheetData(const ZipPackage& package, std::string_view part, const XlsxCellContext& context,
                       XlsxTextSink& sink) {
  SheetDataReader(package, part, context, sink).run();
}

}  // namespace gz::sheet
