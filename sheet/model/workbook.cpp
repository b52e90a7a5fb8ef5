#include "sheet/model/workbook.h"

#include <algorithm>

#include "sheet/model/read_error.h"
#include "text/gb18030.h"

namespace gz::sheet {

std::size_t pickSheet(const std::vector<std::string>& names, std::size_t fallback, const SheetRequest& request) {
  if (request.number != 0) {
    if (request.number <= names.size()) return request.number - 1;
    throw ReadError(
        "工作簿中没有第" + std::to_string(request.number) + "个工作表(共" + std::to_string(names.size()) + "个)",
        WorkbookFault::NoSuchSheet);
  }
  if (request.name.empty()) return fallback;
  const auto found = std::find(names.begin(), names.end(), request.name);
  if (found != names.end()) return static_cast<std::size_t>(found - names.begin());
  throw ReadError("工作簿中没有名为“" + text::gb18030ToUtf8(request.name) + "”的工作表", WorkbookFault::NoSuchSheet);
}

}  // namespace gz::sheet
