// Reading workbooks of the text forms from bytes written in a test.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "sheet/model/cell_forms.h"
#include "sheet/model/workbook.h"
#include "sheet/model/workbook_error.h"
#include "text/gb18030.h"

namespace gz::sheet::testing {

using Reader = std::unique_ptr<Workbook> (*)(const unsigned char*, std::size_t, const std::string&,
                                             const SheetRequest&);

inline std::unique_ptr<Workbook> readText(Reader reader, std::string_view bytes, const std::string& name = "t.xls",
                                          const SheetRequest& request = {}) {
  return reader(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), name, request);
}

// The WorkbookError's fault and sentence, or nullopt when the bytes read.
struct Refusal {
  WorkbookFault fault;
  std::string reason;
};
inline std::optional<Refusal> refusalOf(Reader reader, std::string_view bytes) {
  try {
    readText(reader, bytes);
  } catch (const WorkbookError& e) {
    return Refusal{e.fault(), e.reason()};
  }
  return std::nullopt;
}

inline std::string gb(std::string_view utf8) { return text::utf8ToGb18030(utf8); }
inline std::string utf8(std::string_view gb18030) { return text::gb18030ToUtf8(gb18030); }
// The cell text (UTF-8).
inline std::string shown(const Workbook& book, uint32_t row, uint32_t col) {
  return utf8(cellText(book.value(row, col)));
}

}  // namespace gz::sheet::testing
