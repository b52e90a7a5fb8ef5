// readXmlSpreadsheet(): XML Spreadsheet 2003, the one-file XML form many
// web systems write under an .xls name.
//
// <Workbook> holds <ExcelWorkbook><ActiveSheet>n</ActiveSheet> (0-based;
// absent for the first sheet), <Styles> whose <NumberFormat ss:Format> marks
// dates, and one <Worksheet ss:Name> per sheet with <Table><Row><Cell><Data
// ss:Type>. Rows and cells are numbered on from the previous one unless
// ss:Index gives their place; ss:Span repeats an empty row, ss:MergeAcross
// widens a cell over the columns after it (which are then empty, as a sheet
// program shows a merged cell). Line breaks inside a cell are "&#10;".
#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "sheet/model/read_error.h"
#include "sheet/model/reader_helpers.h"
#include "sheet/model/workbook.h"
#include "sheet/shared/markup_text.h"
#include "sheet/shared/number_format.h"
#include "sheet/shared/value_text.h"
#include "sheet/shared/xml_reader.h"
#include "sheet/text_forms/text_form_readers.h"
#include "text/gb18030.h"

namespace gz::sheet {

namespace {

constexpr uint32_t kMaxRow = 1048576;
constexpr uint32_t kMaxCol = 16384;

std::optional<uint32_t> parseIndex(const std::optional<std::string>& s) {
  if (!s) return std::nullopt;
  const std::optional<double> v = parseXmlNumber(*s);
  if (!v || *v < 0 || *v > 4e9 || *v != static_cast<double>(static_cast<uint32_t>(*v))) return std::nullopt;
  return static_cast<uint32_t>(*v);
}

class Styles {
 public:
  void add(std::string id, std::optional<std::string> parent, std::optional<std::string> format) {
    Style& s = styles_[std::move(id)];
    s.parent = std::move(parent);
    s.format = std::move(format);
  }

  // Whether a number in this style shows a date; a style without a number
  // format takes its parent's, and a cell without a style the default's.
  bool isDate(const std::string& id) {
    if (auto known = dates_.find(id); known != dates_.end()) return known->second;
    const std::string* at = &id;
    std::optional<std::string> format;
    for (int hops = 0; hops < 32 && !format; ++hops) {
      auto it = styles_.find(*at);
      if (it == styles_.end()) break;
      format = it->second.format;
      if (!it->second.parent) break;
      at = &*it->second.parent;
    }
    bool date = false;
    if (format) date = namedFormatShowsDate(*format).value_or(isDateFormat(-1, *format));
    dates_.emplace(id, date);
    return date;
  }

 private:
  struct Style {
    std::optional<std::string> parent, format;
  };
  std::map<std::string, Style> styles_;
  std::map<std::string, bool> dates_;
};

class XmlSpreadsheetReader {
 public:
  XmlSpreadsheetReader(const MarkupBytes& doc, const std::string& name, const SheetRequest& request)
      : doc_(doc), xml_(doc.bytes, doc.encoding, "", name), name_(name), request_(request) {}

  std::unique_ptr<Workbook> read() {
    bool sawRoot = false;
    while (xml_.next()) {
      if (!xml_.isStart()) continue;
      if (!sawRoot) {
        if (xml_.localName() != "Workbook") throw WorkbookError(WorkbookFault::NotAWorkbook, "不是Excel工作簿", name_);
        sawRoot = true;
        continue;
      }
      const std::string_view element = xml_.localName();
      if (xml_.depth() == 2 && element == "ActiveSheet") {
        activeSheet_ = parseIndex(xml_.elementText()).value_or(0);
      } else if (xml_.depth() == 1 && element == "Styles") {
        readStyles();
      } else if (xml_.depth() == 1 && element == "Worksheet") {
        meetWorksheet();
      }
    }
    if (names_.empty()) throw WorkbookError(WorkbookFault::Damaged, "工作簿中没有工作表", name_);
    return chosen();
  }

 private:
  bool requested() const { return !request_.name.empty() || request_.number != 0; }

  // Every worksheet is named; the requested one is read, else the first (in
  // case the active one does not exist) and the active one.
  void meetWorksheet() {
    const std::size_t index = names_.size();
    bool unreadable = false;
    names_.push_back(markupTextToGb18030(xml_.anyAttribute("Name").value_or(""), doc_, unreadable));
    const bool wanted = requested() ? !requested_ && (request_.number == index + 1 ||
                                                      (request_.number == 0 && request_.name == names_.back()))
                                    : index == 0 || index == activeSheet_;
    if (!wanted) {
      xml_.skipElement();
      return;
    }
    auto book = std::make_unique<Workbook>();
    book->sheetName_ = names_.back();
    book->sheetIndex_ = index;
    book->sheet_.limitRows(request_.rowLimit);
    readWorksheet(book->sheet_);
    (requested() ? requested_ : index == activeSheet_ ? active_ : first_) = std::move(book);
  }

  std::unique_ptr<Workbook> chosen() {
    std::unique_ptr<Workbook> chosen;
    if (requested()) {
      try {
        if (!requested_) pickSheet(names_, 0, request_);  // throws: no such sheet
      } catch (const ReadError& e) {
        throw WorkbookError(e.fault(), e.what(), name_);
      }
      chosen = std::move(requested_);
    } else {
      chosen = active_ ? std::move(active_) : std::move(first_);
      if (activeSheet_ >= names_.size())
        addNotice(chosen->notice_, text::utf8ToGb18030("工作簿未指明有效的活动工作表，改为读取第一张工作表“") +
                                       chosen->sheetName_ + text::utf8ToGb18030("”"));
    }
    chosen->sheetNames_ = std::move(names_);
    chosen->sheet_.finish();
    return chosen;
  }

  void readStyles() {
    if (xml_.isEmptyElement()) return;
    const int depth = xml_.depth();
    std::optional<std::string> id, parent, format;
    auto flush = [&] {
      if (id) styles_.add(*id, parent, format);
      id.reset(), parent.reset(), format.reset();
    };
    while (xml_.next()) {
      if (xml_.isEnd() && !xml_.isStart() && xml_.depth() == depth) break;
      if (!xml_.isStart()) continue;
      if (xml_.depth() == depth + 1 && xml_.localName() == "Style") {
        flush();
        id = xml_.anyAttribute("ID");
        parent = xml_.anyAttribute("Parent");
      } else if (xml_.depth() == depth + 2 && xml_.localName() == "NumberFormat") {
        format = xml_.anyAttribute("Format");
        if (!format) format = std::string("General");
      }
    }
    flush();
  }

  void readWorksheet(SheetData& sheet) {
    if (xml_.isEmptyElement()) return;
    const int depth = xml_.depth();
    // Places past the grid are clamped just beyond it, so counting on never overflows.
    auto place = [](std::optional<uint32_t> v, uint32_t limit) { return v ? std::min(*v, limit + 1) : v; };
    uint32_t row = 0, col = 0, span = 0;
    while (xml_.next()) {
      if (!xml_.isStart()) {
        if (xml_.isEnd() && xml_.depth() == depth) break;
        if (xml_.isEnd() && xml_.depth() == depth + 2 && xml_.localName() == "Row") {
          row = std::min(row + span, kMaxRow + 1);  // the rows an ss:Span repeats are empty
          span = 0;
        }
        continue;
      }
      if (xml_.depth() == depth + 2 && xml_.localName() == "Row") {
        row = place(parseIndex(xml_.anyAttribute("Index")), kMaxRow).value_or(std::min(row + 1, kMaxRow + 1));
        span = place(parseIndex(xml_.anyAttribute("Span")), kMaxRow).value_or(0);
        col = 0;
        // Hidden rows are read like any other, and reported.
        if (xml_.anyAttribute("Hidden").value_or("0") == "1" && row <= kMaxRow) sheet.markHidden(row);
        if (xml_.isEmptyElement()) {
          row = std::min(row + span, kMaxRow + 1);
          span = 0;
        }
      } else if (xml_.depth() == depth + 3 && xml_.localName() == "Cell") {
        col = place(parseIndex(xml_.anyAttribute("Index")), kMaxCol).value_or(std::min(col + 1, kMaxCol + 1));
        const uint32_t merged = place(parseIndex(xml_.anyAttribute("MergeAcross")), kMaxCol).value_or(0);
        const std::string style = xml_.anyAttribute("StyleID").value_or("Default");
        readCell(sheet, std::max<uint32_t>(row, 1), col, style);
        col = std::min(col + merged, kMaxCol + 1);
      }
    }
  }

  void readCell(SheetData& sheet, uint32_t row, uint32_t col, const std::string& style) {
    if (xml_.isEmptyElement()) return;
    const int depth = xml_.depth();
    std::optional<std::string> type, data;
    while (xml_.next()) {
      if (xml_.isEnd() && !xml_.isStart() && xml_.depth() == depth) break;
      if (xml_.isStart() && xml_.depth() == depth + 1 && xml_.localName() == "Data" && !data) {
        type = xml_.anyAttribute("Type");
        data = xml_.elementText();
      }
    }
    if (!data || row > kMaxRow || col > kMaxCol) return;
    store(sheet, row, col, type.value_or("String"), *data, style);
    checkCellCount(sheet, name_);
  }

  void store(SheetData& sheet, uint32_t row, uint32_t col, const std::string& type, const std::string& data,
             const std::string& style) {
    if (type == "Number") {
      if (const std::optional<double> n = parseXmlNumber(data))
        return sheet.setNumber(row, col, *n, styles_.isDate(style));
    } else if (type == "DateTime") {
      if (std::optional<double> serial = parseIsoDateTime(data)) {
        // A time alone is written on the sheet programs' day 0, 1899-12-31.
        if (*serial >= 1 && *serial < 2) *serial -= 1;
        return sheet.setNumber(row, col, *serial, true);
      }
    } else if (type == "Boolean") {
      const std::string_view b = trimXmlBlanks(data);
      return sheet.setBoolean(row, col, b == "1" || b == "true" || b == "TRUE");
    } else if (type == "Error") {
      return sheet.setError(row, col, errorCodeOf(data));
    }
    // Text, and a value of another type that does not read as one: kept as written.
    bool unreadable = false;
    std::string text = markupTextToGb18030(data, doc_, unreadable);
    sheet.setText(row, col, std::move(text), unreadable);
  }

  const MarkupBytes& doc_;
  XmlReader xml_;
  const std::string& name_;
  Styles styles_;
  const SheetRequest& request_;
  std::size_t activeSheet_ = 0;
  std::vector<std::string> names_;
  std::unique_ptr<Workbook> first_, active_, requested_;
};

}  // namespace

std::unique_ptr<Workbook> readXmlSpreadsheet(const unsigned char* data, std::size_t size, const std::string& name,
                                             const SheetRequest& request) {
  MarkupBytes doc;
  prepareMarkup(std::string_view(reinterpret_cast<const char*>(data), size), MarkupKind::Xml, doc);
  return XmlSpreadsheetReader(doc, name, request).read();
}

}  // namespace gz::sheet
