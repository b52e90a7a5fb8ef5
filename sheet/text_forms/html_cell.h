// The cells of a web-page table as a sheet program reads them: the text a
// cell shows, and the number format a page saved by a sheet program gives it
// through mso-number-format (inline, or by class in the page's style sheet).
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

typedef struct _xmlNode xmlNode;

namespace gz::sheet {

// The text a cell shows (UTF-8): blanks and line breaks of the source run
// together into one blank as a browser shows them, a non-breaking blank is a
// blank, <br> breaks the line, paragraphs and other blocks start a new line,
// and lines lose their blanks at both ends. Scripts, styles and comments
// show nothing.
std::string htmlCellText(const xmlNode* cell);

// The mso-number-format of the page's classes, from the text of its <style>
// elements: ".xl65 {mso-number-format:\"yyyy\\/m\\/d\";}" gives xl65 ->
// yyyy/m/d (escapes undone, quotes gone).
class HtmlNumberFormats {
 public:
  void addStyleSheet(std::string_view css);
  // The format of a cell: its inline style's, else its classes' (the last
  // class named that has one); nullopt when none.
  std::optional<std::string> formatOf(const xmlNode* cell) const;

 private:
  std::map<std::string, std::string, std::less<>> byClass_;
};

// A format value as written in a style: quotes gone, backslash escapes undone.
std::string unescapedFormat(std::string_view value);

}  // namespace gz::sheet
