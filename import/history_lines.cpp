#include "import/history_lines.h"

#include "text/bytes.h"

namespace gz::imp {
namespace {

std::string_view limitText(std::string_view v, std::string_view low, std::string_view high) {
  if (text::bytesLess(v, low)) v = low;
  if (text::bytesLess(high, v)) v = high;
  return v;
}

}  // namespace

std::optional<DatedLine> readDatedLine(std::string_view line, std::size_t nameBytes) {
  if (line.size() < 5 || line[4] != '.') return std::nullopt;
  std::string_view year = limitText(line.substr(0, 4), "1900", "2100");
  std::string_view month = limitText(line.substr(5, 2), "01", "12");
  DatedLine out;
  out.date.reserve(year.size() + month.size() + 3);
  out.date.append(year).append("-").append(month).append("-1");
  if (line.size() > 7) out.name = text::cutToBytes(line.substr(7), nameBytes);
  return out;
}

}  // namespace gz::imp
