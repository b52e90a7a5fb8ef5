// The _xHHHH_ escapes of .xlsx workbook strings, which carry characters XML
// cannot hold (control characters, lone surrogates).
#pragma once

#include <string>
#include <string_view>

namespace gz::sheet {

// Undoes the _xHHHH_ escapes of workbook strings (_x000D_ is a carriage return,
// _x005F_ an underscore). Other text is returned unchanged. An escaped
// surrogate without its partner becomes U+FFFD and sets `*unpairedSurrogate`.
std::string unescapeXlsxString(std::string_view s, bool* unpairedSurrogate = nullptr);

}  // namespace gz::sheet
