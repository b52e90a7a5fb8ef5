// readHtmlTable(): the first table of a web page, as a sheet program opens a
// page saved under an .xls name. Rows are the table's own <tr> (also inside
// <thead>, <tbody>, <tfoot>), cells their <td> and <th>; a cell spanning
// rows or columns stands at its first place and the places it covers stay
// empty, as a merged cell shows. A cell's text is typed like typed text
// (sheet/text_forms/typed_text.h); a page saved by a sheet program may say more: x:num
// holds a cell's number, x:str makes it text, and mso-number-format "@"
// (text) or a date format decides how its text is taken; pages LibreOffice
// writes give the number in sdval and its format in sdnum.
#include <libxml/HTMLparser.h>
#include <libxml/tree.h>

#include <algorithm>
#include <climits>
#include <memory>
#include <string>
#include <vector>

#include "sheet/model/reader_helpers.h"
#include "sheet/model/workbook.h"
#include "sheet/shared/markup_text.h"
#include "sheet/shared/number_format.h"
#include "sheet/shared/value_text.h"
#include "sheet/shared/xml_handles.h"
#include "sheet/text_forms/html_cell.h"
#include "sheet/text_forms/text_form_readers.h"
#include "sheet/text_forms/typed_text.h"

namespace gz::sheet {

namespace {

constexpr uint32_t kMaxRow = 1048576;
constexpr uint32_t kMaxCol = 16384;

std::string_view nameOf(const xmlNode* n) {
  return n->name ? std::string_view(reinterpret_cast<const char*>(n->name)) : std::string_view();
}

bool isElement(const xmlNode* n, std::string_view name) { return n->type == XML_ELEMENT_NODE && nameOf(n) == name; }

std::optional<std::string> attribute(const xmlNode* n, const char* name) {
  const XmlString v(xmlGetProp(n, reinterpret_cast<const xmlChar*>(name)));
  if (!v) return std::nullopt;
  return std::string(reinterpret_cast<const char*>(v.get()));
}

// The x:num and x:str attributes of a page saved by a sheet program, whatever
// the prefix.
std::optional<std::string> sheetAttribute(const xmlNode* n, std::string_view local) {
  for (const xmlAttr* a = n->properties; a; a = a->next) {
    const std::string_view name(reinterpret_cast<const char*>(a->name));
    const std::size_t colon = name.find(':');
    if (colon == std::string_view::npos || name.substr(colon + 1) != local) continue;
    const XmlString v(xmlNodeGetContent(reinterpret_cast<const xmlNode*>(a)));
    return std::string(v ? reinterpret_cast<const char*>(v.get()) : "");
  }
  return std::nullopt;
}

uint32_t span(const xmlNode* cell, const char* name, uint32_t limit) {
  const std::optional<std::string> v = attribute(cell, name);
  if (!v) return 1;
  const std::optional<double> n = parseXmlNumber(*v);
  if (!n || *n < 1) return 1;
  return *n > limit ? limit : static_cast<uint32_t>(*n);
}

// The first element of `name` in document order below `root`.
const xmlNode* firstElement(const xmlNode* root, std::string_view name) {
  std::vector<const xmlNode*> stack{root};
  while (!stack.empty()) {
    const xmlNode* n = stack.back();
    stack.pop_back();
    if (isElement(n, name)) return n;
    std::vector<const xmlNode*> children;
    for (const xmlNode* c = n->children; c; c = c->next) children.push_back(c);
    stack.insert(stack.end(), children.rbegin(), children.rend());
  }
  return nullptr;
}

void collectStyleSheets(const xmlNode* root, HtmlNumberFormats& formats) {
  std::vector<const xmlNode*> stack{root};
  while (!stack.empty()) {
    const xmlNode* n = stack.back();
    stack.pop_back();
    if (isElement(n, "style")) {
      const XmlString css(xmlNodeGetContent(n));
      if (css) formats.addStyleSheet(reinterpret_cast<const char*>(css.get()));
      continue;
    }
    // Children in reverse, so they come off the stack in document order:
    // of two rules for one class, the later style sheet's holds.
    std::vector<const xmlNode*> children;
    for (const xmlNode* c = n->children; c; c = c->next) children.push_back(c);
    stack.insert(stack.end(), children.rbegin(), children.rend());
  }
}

class TableReader {
 public:
  TableReader(const HtmlNumberFormats& formats, const MarkupBytes& doc, Workbook& book, const std::string& file)
      : formats_(formats), doc_(doc), book_(book), file_(file) {}

  void read(const xmlNode* table) {
    for (const xmlNode* n = table->children; n; n = n->next) {
      if (isElement(n, "tr")) {
        readRow(n);
      } else if (isElement(n, "thead") || isElement(n, "tbody") || isElement(n, "tfoot")) {
        for (const xmlNode* r = n->children; r; r = r->next)
          if (isElement(r, "tr")) readRow(r);
      }
    }
  }

 private:
  void readRow(const xmlNode* tr) {
    if (row_ > kMaxRow) return;
    uint32_t col = 1;
    for (const xmlNode* cell = tr->children; cell; cell = cell->next) {
      if (!isElement(cell, "td") && !isElement(cell, "th")) continue;
      // Places that a cell of a row above still covers are passed over.
      while (col <= kMaxCol && col < busyUntil_.size() && busyUntil_[col] >= row_) ++col;
      if (col > kMaxCol) break;
      const uint32_t cols = span(cell, "colspan", kMaxCol - col + 1);
      const uint32_t rows = span(cell, "rowspan", kMaxRow - row_ + 1);
      if (rows > 1) {
        if (busyUntil_.size() < col + cols) busyUntil_.resize(col + cols, 0);
        std::fill(busyUntil_.begin() + col, busyUntil_.begin() + col + cols, row_ + rows - 1);
      }
      place(cell, col);
      col += cols;
    }
    ++row_;
  }

  // The format of a cell: mso-number-format, or the last part of the sdnum
  // attribute of pages LibreOffice writes ("1033;0;YYYY-MM-DD").
  std::optional<std::string> formatOf(const xmlNode* cell) const {
    if (std::optional<std::string> f = formats_.formatOf(cell)) return f;
    const std::optional<std::string> sdnum = attribute(cell, "sdnum");
    if (!sdnum) return std::nullopt;
    const std::size_t first = sdnum->find(';');
    const std::size_t second = first == std::string::npos ? first : sdnum->find(';', first + 1);
    if (second == std::string::npos || second + 1 == sdnum->size()) return std::nullopt;
    return sdnum->substr(second + 1);
  }

  void place(const xmlNode* cell, uint32_t col) {
    const std::optional<std::string> format = formatOf(cell);
    const bool asText = (format && *format == "@") || sheetAttribute(cell, "str");
    const bool dateFormat = format && !asText && namedFormatShowsDate(*format).value_or(isDateFormat(-1, *format));
    const std::string shown = htmlCellText(cell);
    bool unreadable = false;
    std::string text = markupTextToGb18030(shown, doc_, unreadable);
    SheetData& sheet = book_.sheet_;
    std::optional<std::string> num = asText ? std::nullopt : sheetAttribute(cell, "num");
    if (!num && !asText) num = attribute(cell, "sdval");
    // The number the sheet held; an empty x:num means the text shown is it.
    const std::optional<double> held = num ? parseXmlNumber(num->empty() ? shown : *num) : std::nullopt;
    if (asText) {
      if (!text.empty()) sheet.setText(row_, col, std::move(text), unreadable);
    } else if (held && format == "BOOLEAN") {
      sheet.setBoolean(row_, col, *held != 0);
    } else if (held) {
      sheet.setNumber(row_, col, *held, dateFormat);
    } else {
      CellValue v = typedCellValue(text, unreadable);
      if (v.kind == CellKind::Number && dateFormat) v.isDate = true;
      switch (v.kind) {
        case CellKind::Empty: break;
        case CellKind::Number: sheet.setNumber(row_, col, v.number, v.isDate); break;
        case CellKind::Text: sheet.setText(row_, col, std::move(v.text), v.unreadable); break;
        case CellKind::Boolean: sheet.setBoolean(row_, col, v.number != 0); break;
        case CellKind::Error: sheet.setError(row_, col, static_cast<uint8_t>(v.number)); break;
      }
    }
    checkCellCount(sheet, file_);
  }

  const HtmlNumberFormats& formats_;
  const MarkupBytes& doc_;
  Workbook& book_;
  const std::string& file_;
  uint32_t row_ = 1;
  std::vector<uint32_t> busyUntil_;  // by column: the last row a cell spanning rows covers
};

}  // namespace

std::unique_ptr<Workbook> readHtmlTable(const unsigned char* data, std::size_t size, const std::string& name,
                                        const SheetRequest& request) {
  if (size > INT_MAX) throw WorkbookError(WorkbookFault::Unreadable, "文件过大,无法读取", name);
  MarkupBytes doc;
  prepareMarkup(std::string_view(reinterpret_cast<const char*>(data), size), MarkupKind::Html, doc);
  const int options = HTML_PARSE_RECOVER | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET |
                      HTML_PARSE_COMPACT | (doc.encoding ? HTML_PARSE_IGNORE_ENC : 0);
  const XmlDocPtr page(
      htmlReadMemory(doc.bytes.data(), static_cast<int>(doc.bytes.size()), nullptr, doc.encoding, options));
  const xmlNode* root = page ? xmlDocGetRootElement(page.get()) : nullptr;
  const xmlNode* table = root ? firstElement(root, "table") : nullptr;
  if (!table) throw WorkbookError(WorkbookFault::NotAWorkbook, "不是Excel工作簿", name);

  HtmlNumberFormats formats;
  collectStyleSheets(root, formats);
  auto book = startSingleSheet(name, request);
  TableReader(formats, doc, *book, name).read(table);
  book->sheet_.finish();
  return book;
}

}  // namespace gz::sheet
