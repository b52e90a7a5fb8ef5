#include "import/shared/typed_date_counter.h"

#include <algorithm>

namespace gz::imp {

namespace {
constexpr std::string_view kReadAsYearMonth =
    "\xB0\xB4\xA1\xB0\xC4\xEA.\xD4\xC2\xA1\xB1\xB6\xC1\xC8\xA1: ";  // 按“年.月”读取:
constexpr std::string_view kReadAsDigits =
    "\xB0\xB4\xA1\xB0\xC4\xEA\xD4\xC2\xC8\xD5\xA1\xB1\xCA\xFD\xD7\xD6\xB6\xC1\xC8\xA1: ";  // 按“年月日”数字读取:
constexpr std::string_view kCells = "\xB8\xF6\xB5\xA5\xD4\xAA\xB8\xF1";  // 个单元格
}  // namespace

void TypedDateCounter::count(std::string_view title, sheet::DateSource source) {
  if (source != sheet::DateSource::YearMonthNumber && source != sheet::DateSource::DigitsNumber) return;
  for (Entry& e : entries_) {
    if (e.title == title && e.source == source) {
      ++e.cells;
      return;
    }
  }
  entries_.push_back(Entry{std::string(title), source, 1});
}

void TypedDateCounter::add(const TypedDateCounter& other) {
  for (const Entry& o : other.entries_) {
    const auto same = [&o](const Entry& e) { return e.title == o.title && e.source == o.source; };
    const auto it = std::find_if(entries_.begin(), entries_.end(), same);
    if (it == entries_.end()) entries_.push_back(o);
    else it->cells += o.cells;
  }
}

std::vector<std::string> TypedDateCounter::lines() const {
  std::vector<std::string> out;
  for (const Entry& e : entries_) {
    std::string line = e.title;
    line.append(e.source == sheet::DateSource::YearMonthNumber ? kReadAsYearMonth : kReadAsDigits);
    line.append(std::to_string(e.cells)).append(kCells);
    out.push_back(std::move(line));
  }
  return out;
}

}  // namespace gz::imp
