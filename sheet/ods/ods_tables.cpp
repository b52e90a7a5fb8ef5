// An OpenDocument table is <table:table table:name> with rows
// <table:table-row table:number-rows-repeated> (also inside header-row and
// row groups) and cells <table:table-cell table:number-columns-repeated>;
// <table:covered-table-cell> is a place a merged cell covers, shown empty.
// A cell's value is in office:value-type and the matching office:*value
// attribute; its text is its <text:p> paragraphs, one line each, with
// <text:s text:c> for runs of blanks, <text:tab> and <text:line-break>.
// Repetition is counted, not written out: a row repeated to the end of the
// sheet with no value in it costs nothing.
#include "sheet/ods/ods_tables.h"

#include "sheet/model/read_error.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "sheet/model/workbook.h"
#include "sheet/shared/markup_text.h"
#include "sheet/shared/value_text.h"
#include "text/gb18030.h"

namespace gz::sheet {

namespace {

constexpr std::string_view kTableNs = "urn:oasis:names:tc:opendocument:xmlns:table:1.0";
constexpr std::string_view kTextNs = "urn:oasis:names:tc:opendocument:xmlns:text:1.0";
constexpr std::string_view kCalcExtNs = "urn:org:documentfoundation:names:experimental:calc:xmlns:calcext:1.0";
constexpr uint32_t kMaxRow = 1048576;
constexpr uint32_t kMaxCol = 16384;

uint32_t repeatCount(const std::optional<std::string>& s, uint32_t limit) {
  if (!s) return 1;
  const std::optional<double> v = parseXmlNumber(*s);
  if (!v || *v < 1) return 1;
  return *v > limit ? limit : static_cast<uint32_t>(*v);
}

// An ISO 8601 duration of a time value, "PT08H30M00S" or "P1DT2H", in days.
std::optional<double> parseDuration(std::string_view s) {
  s = trimXmlBlanks(s);
  bool negative = false;
  if (!s.empty() && s.front() == '-') negative = true, s.remove_prefix(1);
  if (s.empty() || s.front() != 'P') return std::nullopt;
  s.remove_prefix(1);
  double seconds = 0;
  bool inTime = false, any = false;
  while (!s.empty()) {
    if (s.front() == 'T') {
      inTime = true;
      s.remove_prefix(1);
      continue;
    }
    std::size_t n = 0;
    while (n < s.size() && ((s[n] >= '0' && s[n] <= '9') || s[n] == '.')) ++n;
    if (n == 0 || n == s.size()) return std::nullopt;
    const std::optional<double> v = parseXmlNumber(s.substr(0, n));
    if (!v) return std::nullopt;
    const char unit = s[n];
    if (unit == 'D' && !inTime) seconds += *v * 86400;
    else if (unit == 'H' && inTime) seconds += *v * 3600;
    else if (unit == 'M' && inTime) seconds += *v * 60;
    else if (unit == 'S' && inTime) seconds += *v;
    else return std::nullopt;
    any = true;
    s.remove_prefix(n + 1);
  }
  if (!any) return std::nullopt;
  // Whole seconds first, as the other readers count a time of day.
  return (negative ? -seconds : seconds) / 86400;
}

// One cell's value before it is placed; `kind` Empty for none.
struct PendingCell {
  CellKind kind = CellKind::Empty;
  bool isDate = false;
  double number = 0;
  std::string text;  // GB 18030
  bool unreadable = false;
};

class TableReader {
 public:
  TableReader(XmlReader& xml, const MarkupBytes* doc, const std::string& file) : xml_(xml), doc_(doc), file_(file) {}

  void read(SheetData& sheet) {
    if (xml_.isEmptyElement()) return;
    const int depth = xml_.depth();
    uint32_t row = 1;
    std::vector<std::pair<uint32_t, PendingCell>> cells;
    while (xml_.next()) {
      if (!xml_.isStart()) {
        if (xml_.isEnd() && xml_.depth() == depth) return;
        continue;
      }
      if (xml_.localName() != "table-row" || xml_.namespaceUri() != kTableNs) continue;
      const uint32_t repeat = repeatCount(xml_.attributeNs("number-rows-repeated", kTableNs), kMaxRow);
      // Rows hidden by hand ("collapsed") or by a filter are read like any
      // other and reported; an empty hidden row has nothing to report.
      const std::string visibility = xml_.attributeNs("visibility", kTableNs).value_or("visible");
      const bool hidden = visibility == "collapsed" || visibility == "filter";
      cells.clear();
      readRow(cells);
      if (cells.empty()) {
        row = std::min<uint32_t>(row + repeat, kMaxRow + 1);
        continue;
      }
      for (uint32_t r = 0; r < repeat && row <= kMaxRow; ++r, ++row) {
        if (hidden) sheet.markHidden(row);
        for (const auto& [col, c] : cells) place(sheet, row, col, c);
      }
    }
  }

 private:
  void place(SheetData& sheet, uint32_t row, uint32_t col, const PendingCell& c) {
    switch (c.kind) {
      case CellKind::Empty: return;
      case CellKind::Number: sheet.setNumber(row, col, c.number, c.isDate); break;
      case CellKind::Text: sheet.setText(row, col, c.text, c.unreadable); break;
      case CellKind::Boolean: sheet.setBoolean(row, col, c.number != 0); break;
      case CellKind::Error: sheet.setError(row, col, static_cast<uint8_t>(c.number)); break;
    }
    checkCellCount(sheet, file_);
  }

  // The cells of one row, each repeated over its columns, by column.
  void readRow(std::vector<std::pair<uint32_t, PendingCell>>& cells) {
    if (xml_.isEmptyElement()) return;
    const int depth = xml_.depth();
    uint32_t col = 1;
    while (xml_.next()) {
      if (!xml_.isStart()) {
        if (xml_.isEnd() && xml_.depth() == depth) return;
        continue;
      }
      if (xml_.depth() != depth + 1 || xml_.namespaceUri() != kTableNs) {
        xml_.skipElement();
        continue;
      }
      const bool covered = xml_.localName() == "covered-table-cell";
      if (!covered && xml_.localName() != "table-cell") {
        xml_.skipElement();
        continue;
      }
      const uint32_t repeat = repeatCount(xml_.attributeNs("number-columns-repeated", kTableNs), kMaxCol);
      PendingCell cell = readCell();
      if (!covered && cell.kind != CellKind::Empty)
        for (uint32_t c = col; c < col + repeat && c <= kMaxCol; ++c) cells.emplace_back(c, cell);
      col = std::min<uint32_t>(col + repeat, kMaxCol + 1);
    }
  }

  PendingCell readCell() {
    PendingCell cell;
    const std::string type = xml_.attributeNs("value-type", kOdfOfficeNs).value_or("");
    const std::string extType = xml_.attributeNs("value-type", kCalcExtNs).value_or("");
    std::optional<std::string> value;
    if (type == "float" || type == "percentage" || type == "currency") value = xml_.attributeNs("value", kOdfOfficeNs);
    else if (type == "date") value = xml_.attributeNs("date-value", kOdfOfficeNs);
    else if (type == "time") value = xml_.attributeNs("time-value", kOdfOfficeNs);
    else if (type == "boolean") value = xml_.attributeNs("boolean-value", kOdfOfficeNs);
    else if (type == "string") value = xml_.attributeNs("string-value", kOdfOfficeNs);
    const std::optional<std::string> paragraphs = cellText();

    std::optional<double> number;
    if (type == "float" || type == "percentage" || type == "currency") {
      if (value) number = parseXmlNumber(*value);
    } else if (type == "date") {
      if (value) number = parseIsoDateTime(*value);
      cell.isDate = number.has_value();
    } else if (type == "time") {
      if (value) number = parseDuration(*value);
      cell.isDate = number.has_value();
    } else if (type == "boolean" && value) {
      cell.kind = CellKind::Boolean;
      cell.number = trimXmlBlanks(*value) == "true" ? 1 : 0;
      return cell;
    }
    if (number) {
      cell.kind = CellKind::Number;
      cell.number = *number;
      return cell;
    }
    if (extType == "error" && paragraphs) {
      cell.kind = CellKind::Error;
      cell.number = errorCodeOf(*paragraphs);
      return cell;
    }
    // A string, or a value that does not read as its type: its text as written.
    const std::optional<std::string>& text = type == "string" && value ? value : paragraphs;
    if (!text || (type.empty() && text->empty())) return cell;
    cell.kind = CellKind::Text;
    cell.text = markupText(*text, cell.unreadable);
    return cell;
  }

  std::string markupText(const std::string& utf8, bool& unreadable) {
    if (doc_) return markupTextToGb18030(utf8, *doc_, unreadable);
    text::ConversionReport report;
    std::string gb = text::utf8ToGb18030(utf8, &report);
    unreadable = !report.ok();
    return gb;
  }

  // The paragraphs of the cell, one line each; nullopt when it has none.
  // Reads on to the end of the cell.
  std::optional<std::string> cellText() {
    if (xml_.isEmptyElement()) return std::nullopt;
    const int depth = xml_.depth();
    std::optional<std::string> text;
    while (xml_.next()) {
      if (!xml_.isStart()) {
        if (xml_.isEnd() && xml_.depth() == depth) break;
        continue;
      }
      if (xml_.depth() == depth + 1 && xml_.namespaceUri() == kTextNs &&
          (xml_.localName() == "p" || xml_.localName() == "h")) {
        if (text) *text += '\n';
        else text.emplace();
        paragraph(*text);
      } else {
        xml_.skipElement();  // annotations, shapes, subtables
      }
    }
    return text;
  }

  void paragraph(std::string& out) {
    if (xml_.isEmptyElement()) return;
    const int depth = xml_.depth();
    while (xml_.next()) {
      if (xml_.isText()) {
        out += xml_.value();
        continue;
      }
      if (!xml_.isStart()) {
        if (xml_.isEnd() && xml_.depth() == depth) return;
        continue;
      }
      const std::string_view element = xml_.localName();
      if (xml_.namespaceUri() != kTextNs) {
        xml_.skipElement();
      } else if (element == "s") {
        out.append(repeatCount(xml_.attributeNs("c", kTextNs), 1024), ' ');
        xml_.skipElement();
      } else if (element == "tab") {
        out += '\t';
        xml_.skipElement();
      } else if (element == "line-break") {
        out += '\n';
        xml_.skipElement();
      } else if (element == "note" || element == "ruby-text") {
        xml_.skipElement();
      }
      // Spans, links and the like: their text belongs to the paragraph.
    }
  }

  XmlReader& xml_;
  const MarkupBytes* doc_;
  const std::string& file_;
};

}  // namespace

std::optional<std::string> activeTableSetting(XmlReader& xml) {
  if (xml.attributeNs("name", kOdfConfigNs).value_or("") != "ActiveTable") return std::nullopt;
  return xml.elementText();
}

namespace {

// Which of the tables met while streaming are read: the requested one, or
// without a request the first and the active one (the first stands in when
// the active one is not found).
class TablePicker {
 public:
  TablePicker(const SheetRequest& request, const std::optional<std::string>& activeTable)
      : request_(request), activeTable_(activeTable) {}

  bool requested() const { return !request_.name.empty() || request_.number != 0; }
  // `index` from 0; `name` UTF-8 as in the file, `gbName` as read.
  bool wants(std::size_t index, const std::string& name, const std::string& gbName) const {
    if (requested())
      return !chosen && (request_.number == index + 1 || (request_.number == 0 && request_.name == gbName));
    return index == 0 || (!active && activeTable_ && *activeTable_ == name);
  }
  void keep(std::size_t index, const std::string& name, std::unique_ptr<Workbook> book) {
    book->sheetIndex_ = index;
    if (requested()) chosen = std::move(book);
    else if (activeTable_ && *activeTable_ == name) active = std::move(book);
    else first = std::move(book);
  }

  std::unique_ptr<Workbook> first, active, chosen;

 private:
  const SheetRequest& request_;
  const std::optional<std::string>& activeTable_;
};

// The table read for the workbook: the one asked for, else the active one,
// else the first (with a notice when the file named an active table that is
// not there). Throws WorkbookError when the table asked for is missing.
std::unique_ptr<Workbook> chosenTable(TablePicker& picker, const std::vector<std::string>& names,
                                      const std::optional<std::string>& activeTable, const SheetRequest& request,
                                      const std::string& file) {
  if (picker.requested()) {
    try {
      if (!picker.chosen) pickSheet(names, 0, request);  // throws: no such sheet
    } catch (const ReadError& e) {
      throw WorkbookError(e.fault(), e.what(), file);
    }
    return std::move(picker.chosen);
  }
  if (picker.active) return std::move(picker.active);
  std::unique_ptr<Workbook> chosen = std::move(picker.first);
  if (activeTable && !activeTable->empty() && text::utf8ToGb18030(*activeTable) != chosen->sheetName_)
    addNotice(chosen->notice_, text::utf8ToGb18030("工作簿未指明有效的活动工作表，改为读取第一张工作表“") +
                                   chosen->sheetName_ + text::utf8ToGb18030("”"));
  return chosen;
}

}  // namespace

std::unique_ptr<Workbook> readOdsTables(XmlReader& xml, std::optional<std::string> activeTable,
                                        const MarkupBytes* document, const std::string& file,
                                        const SheetRequest& request) {
  TablePicker picker(request, activeTable);
  std::vector<std::string> names;
  int spreadsheetDepth = -1;
  while (xml.next()) {
    if (!xml.isStart()) {
      if (xml.isEnd() && xml.depth() == spreadsheetDepth) break;
      continue;
    }
    const std::string_view element = xml.localName();
    if (spreadsheetDepth < 0) {
      if (element == "config-item" && xml.namespaceUri() == kOdfConfigNs && !activeTable) {
        activeTable = activeTableSetting(xml);
      } else if (element == "spreadsheet" && xml.namespaceUri() == kOdfOfficeNs) {
        spreadsheetDepth = xml.depth();
        if (xml.isEmptyElement()) break;
      }
      continue;
    }
    if (xml.depth() != spreadsheetDepth + 1 || element != "table" || xml.namespaceUri() != kTableNs) {
      xml.skipElement();
      continue;
    }
    // Every table is met, for the list of sheet names; only the wanted ones are read.
    const std::string name = xml.attributeNs("name", kTableNs).value_or("");
    bool unreadable = false;
    names.push_back(document ? markupTextToGb18030(name, *document, unreadable) : text::utf8ToGb18030(name));
    if (!picker.wants(names.size() - 1, name, names.back())) {
      xml.skipElement();
      continue;
    }
    auto book = std::make_unique<Workbook>();
    book->sheetName_ = names.back();
    book->sheet_.limitRows(request.rowLimit);
    TableReader(xml, document, file).read(book->sheet_);
    picker.keep(names.size() - 1, name, std::move(book));
  }
  if (spreadsheetDepth < 0) throw WorkbookError(WorkbookFault::NotAWorkbook, "不是Excel工作簿", file);
  if (names.empty()) throw WorkbookError(WorkbookFault::Damaged, "工作簿中没有工作表", file);
  std::unique_ptr<Workbook> chosen = chosenTable(picker, names, activeTable, request, file);
  chosen->sheetNames_ = std::move(names);
  chosen->sheet_.finish();
  return chosen;
}

}  // namespace gz::sheet
