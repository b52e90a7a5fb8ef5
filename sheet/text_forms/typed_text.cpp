#include "sheet/text_forms/typed_text.h"

#include <optional>
#include <string>

#include "sheet/model/date_text.h"
#include "sheet/shared/value_text.h"
#include "text/bytes.h"

namespace gz::sheet {

namespace {

constexpr std::size_t kMostDigitsOfANumber = 15;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool allDigits(std::string_view s) {
  if (s.empty()) return false;
  for (char c : s)
    if (!isDigit(c)) return false;
  return true;
}

std::string upperAscii(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
  return out;
}

// The integer digits with their thousands separators taken out, when they
// are grouped the way the separators are meant ("1,234,567"); nullopt for a
// comma anywhere else.
std::optional<std::string> ungrouped(std::string_view digits) {
  if (digits.find(',') == std::string_view::npos) return std::string(digits);
  std::string out;
  const std::size_t first = digits.find(',');
  if (first == 0 || first > 3) return std::nullopt;
  out.append(digits.substr(0, first));
  for (std::size_t i = first; i < digits.size(); i += 4) {
    if (digits[i] != ',' || i + 4 > digits.size()) return std::nullopt;
    const std::string_view group = digits.substr(i + 1, 3);
    if (!allDigits(group)) return std::nullopt;
    out.append(group);
  }
  return out;
}

// A number as a sheet program reads typed text: sign, digits (optionally in
// thousands groups), a decimal point, an exponent, a percent sign.
std::optional<double> typedNumber(std::string_view s) {
  bool percent = false;
  if (!s.empty() && s.back() == '%') {
    percent = true;
    s.remove_suffix(1);
  }
  std::size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  const std::size_t intStart = i;
  while (i < s.size() && (isDigit(s[i]) || s[i] == ',')) ++i;
  const std::optional<std::string> intDigits = ungrouped(s.substr(intStart, i - intStart));
  if (!intDigits) return std::nullopt;
  std::string plain(s.substr(0, intStart));
  plain += *intDigits;
  plain += s.substr(i);
  double v = 0;
  if (!text::parseDecimal(plain, v)) return std::nullopt;
  return percent ? v / 100 : v;
}

}  // namespace

CellValue typedCellValue(std::string_view text, bool unreadable) {
  CellValue v;
  const std::string_view s = text::trimView(text);
  if (s.empty()) return v;
  if (unreadable) {
    v.kind = CellKind::Text;
    v.text = std::string(text);
    v.unreadable = true;
    return v;
  }
  // Digits a number would change keep their text.
  const bool keptDigits = allDigits(s) && ((s.size() > 1 && s[0] == '0') || s.size() > kMostDigitsOfANumber);
  if (!keptDigits) {
    if (std::optional<double> n = typedNumber(s)) {
      v.kind = CellKind::Number;
      v.number = *n;
      return v;
    }
    if (std::optional<double> d = enteredDateValue(s)) {
      v.kind = CellKind::Number;
      v.number = *d;
      v.isDate = true;
      return v;
    }
    const std::string upper = upperAscii(s);
    if (upper == "TRUE" || upper == "FALSE") {
      v.kind = CellKind::Boolean;
      v.number = upper == "TRUE" ? 1 : 0;
      return v;
    }
    if (std::optional<uint8_t> code = knownErrorCode(upper)) {
      v.kind = CellKind::Error;
      v.number = *code;
      return v;
    }
  }
  v.kind = CellKind::Text;
  v.text = std::string(text);
  return v;
}

void setTypedCell(SheetData& sheet, uint32_t row, uint32_t col, std::string_view text, bool unreadable) {
  const CellValue v = typedCellValue(text, unreadable);
  switch (v.kind) {
    case CellKind::Empty: break;
    case CellKind::Number: sheet.setNumber(row, col, v.number, v.isDate); break;
    case CellKind::Text: sheet.setText(row, col, v.text, v.unreadable); break;
    case CellKind::Boolean: sheet.setBoolean(row, col, v.number != 0); break;
    case CellKind::Error: sheet.setError(row, col, static_cast<uint8_t>(v.number)); break;
  }
}

}  // namespace gz::sheet
