#include "sheet/shared/number_format.h"

#include <utility>

namespace gz::sheet {

namespace {

bool isBuiltinDate(int id) {
  return (id >= 14 && id <= 22) || (id >= 45 && id <= 47) || (id >= 27 && id <= 36) || (id >= 50 && id <= 58);
}

bool isDateLetter(char c) {
  switch (c) {
    case 'd':
    case 'D':
    case 'm':
    case 'M':
    case 'y':
    case 'Y':
    case 'h':
    case 'H':
    case 's':
    case 'S': return true;
    default: return false;
  }
}

// "[h]", "[mm]", "[ss]": elapsed time. Other sections ("[Red]", "[$-804]",
// "[DBNum1]", "[>=100]") are colours, locales and conditions.
bool isElapsedTime(std::string_view section) {
  if (section.empty()) return false;
  for (char c : section)
    if (c != 'h' && c != 'H' && c != 'm' && c != 'M' && c != 's' && c != 'S') return false;
  return true;
}

}  // namespace

bool isDateFormat(int builtinId, std::string_view code) {
  if (code.empty()) return isBuiltinDate(builtinId);
  for (std::size_t i = 0; i < code.size(); ++i) {
    const char c = code[i];
    if (c == '"') {  // literal text up to the closing quote
      const std::size_t end = code.find('"', i + 1);
      if (end == std::string_view::npos) return false;
      i = end;
    } else if (c == '\\' || c == '_' || c == '*') {  // escaped, padding or fill character
      ++i;
    } else if (c == '[') {
      const std::size_t end = code.find(']', i + 1);
      if (end == std::string_view::npos) return false;
      if (isElapsedTime(code.substr(i + 1, end - i - 1))) return true;
      i = end;
    } else if (isDateLetter(c)) {
      // "General" has none of the letters; "E+"/"e-" of exponents neither.
      return true;
    }
  }
  return false;
}

std::optional<bool> namedFormatShowsDate(std::string_view name) {
  static constexpr std::pair<std::string_view, bool> kNamed[] = {
      {"General", false},    {"General Number", false}, {"General Date", true},   {"Long Date", true},
      {"Medium Date", true}, {"Short Date", true},      {"Long Time", true},      {"Medium Time", true},
      {"Short Time", true},  {"Currency", false},       {"Euro Currency", false}, {"Fixed", false},
      {"Standard", false},   {"Percent", false},        {"Scientific", false},    {"Yes/No", false},
      {"True/False", false}, {"On/Off", false},
  };
  for (auto [known, date] : kNamed)
    if (known == name) return date;
  return std::nullopt;
}

}  // namespace gz::sheet
