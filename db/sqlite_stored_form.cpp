#include "db/sqlite_stored_form.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <variant>

#include "db/sql_values.h"

namespace gz::db {

namespace {

// Up to here every whole number is also exact as a decimal, whatever SQLite
// stores it as.
constexpr double kExactWhole = 9007199254740992.0;  // 2^53

bool contains(const std::string& upper, const char* part) { return upper.find(part) != std::string::npos; }

bool isSqliteSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

StoredValue whole(int64_t x) { return {StoredValue::Kind::Whole, x, 0, {}}; }
StoredValue decimal(double x) { return {StoredValue::Kind::Decimal, 0, x, {}}; }
StoredValue asText(std::string_view x) { return {StoredValue::Kind::Text, 0, 0, x}; }

// Up to 15 digits, a whole number is exact as a decimal too.
constexpr std::size_t kMostPlainDigits = 15;

// A sign and digits alone ("01", "-12"): a numeric column stores the whole
// number, a real one the same as a decimal.
std::optional<int64_t> plainWholeNumber(std::string_view x) {
  const std::size_t digits = x.size() - (!x.empty() && (x[0] == '+' || x[0] == '-'));
  if (digits == 0 || digits > kMostPlainDigits) return std::nullopt;
  int64_t n = 0;
  for (std::size_t i = x.size() - digits; i < x.size(); ++i) {
    if (!isDigit(x[i])) return std::nullopt;
    n = n * 10 + (x[i] - '0');
  }
  return x[0] == '-' ? -n : n;
}

std::optional<StoredValue> textForm(std::string_view x, Affinity a) {
  if (a == Affinity::Text || a == Affinity::Blob || !mayReadAsNumber(x)) return asText(x);
  if (const std::optional<int64_t> n = plainWholeNumber(x)) return whole(*n);
  return std::nullopt;
}

std::optional<StoredValue> wholeForm(int64_t x, Affinity a, std::string& scratch) {
  // A text column keeps its digits.
  if (a == Affinity::Text) {
    constexpr std::size_t kMostChars = 20;
    scratch.resize(kMostChars);
    scratch.resize(
        static_cast<std::size_t>(std::to_chars(scratch.data(), scratch.data() + kMostChars, x).ptr - scratch.data()));
    return asText(scratch);
  }
  // A real column reads it back as a decimal, the same value below 2^53.
  if (a == Affinity::Real && std::fabs(static_cast<double>(x)) >= kExactWhole) return std::nullopt;
  return whole(x);
}

std::optional<StoredValue> decimalForm(double x, Affinity a) {
  // A NaN is stored as null; a whole number this large may become an integer.
  if (!std::isfinite(x) || a == Affinity::Text) return std::nullopt;
  if (std::trunc(x) == x && std::fabs(x) >= kExactWhole) return std::nullopt;
  return decimal(x);
}

}  // namespace

Affinity affinityOfType(std::string_view declaredType) {
  std::string upper(declaredType);
  std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char c) { return std::toupper(c); });
  if (contains(upper, "INT")) return Affinity::Integer;
  if (contains(upper, "CHAR") || contains(upper, "CLOB") || contains(upper, "TEXT")) return Affinity::Text;
  if (contains(upper, "BLOB") || upper.empty()) return Affinity::Blob;
  if (contains(upper, "REAL") || contains(upper, "FLOA") || contains(upper, "DOUB")) return Affinity::Real;
  return Affinity::Numeric;
}

bool mayReadAsNumber(std::string_view text) {
  std::size_t at = 0, end = text.size();
  while (at < end && isSqliteSpace(text[at])) ++at;
  while (end > at && isSqliteSpace(text[end - 1])) --end;
  bool digit = false;
  if (at < end && (text[at] == '+' || text[at] == '-')) ++at;
  for (; at < end && isDigit(text[at]); ++at) digit = true;
  if (at < end && text[at] == '.') ++at;
  for (; at < end && isDigit(text[at]); ++at) digit = true;
  if (at < end && (text[at] == 'e' || text[at] == 'E')) {
    ++at;
    if (at < end && (text[at] == '+' || text[at] == '-')) ++at;
    while (at < end && isDigit(text[at])) ++at;
  }
  return digit && at == end;
}

std::optional<StoredValue> storedForm(const Value& bound, Affinity affinity, std::string& scratch) {
  return std::visit(
      [&](const auto& x) -> std::optional<StoredValue> {
        using T = std::decay_t<decltype(x)>;
        if constexpr (std::is_same_v<T, std::monostate>) return StoredValue{};
        else if constexpr (std::is_same_v<T, int64_t>) return wholeForm(x, affinity, scratch);
        else if constexpr (std::is_same_v<T, double>) return decimalForm(x, affinity);
        else if constexpr (std::is_same_v<T, std::string>) return textForm(x, affinity);
        else if constexpr (std::is_same_v<T, Blob>) return StoredValue{StoredValue::Kind::Bytes, 0, 0, x.bytes};
        else {
          // An ISO date's dashes keep it from ever reading as a number.
          scratch = isoDate(x);
          return asText(scratch);
        }
      },
      bound);
}

}  // namespace gz::db
