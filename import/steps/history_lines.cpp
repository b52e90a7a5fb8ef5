#include "import/steps/history_lines.h"

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
  if (line.size() <= kYearBytes || line[kYearBytes] != '.') return std::nullopt;
  std::string_view year = limitText(line.substr(0, kYearBytes), kFirstYearText, kLastYearText);
  std::string_view month = limitText(line.substr(kMonthAt, kMonthBytes), kFirstMonthText, kLastMonthText);
  DatedLine out;
  out.date.reserve(year.size() + month.size() + 3);
  out.date.append(year).append("-").append(month).append("-1");
  if (line.size() > kDatedNameAt) out.name = text::cutToBytes(line.substr(kDatedNameAt), nameBytes);
  return out;
}

}  // namespace gz::imp
