#include "migrate/access_values.h"

#include <cmath>
#include <cstdint>
#include <cstring>

#include "text/gb18030.h"

namespace gz::migrate {
namespace {

constexpr int64_t kMillisPerDay = 86'400'000;
constexpr int64_t kDaysFrom1970To18991230 = -25'569;
constexpr int kFirstYear = 100, kLastYear = 9999;
constexpr int64_t kCurrencyScale = 10'000;

template <typename T>
T little(std::string_view bytes) {
  T v{};
  std::memcpy(&v, bytes.data(), sizeof v);  // the files and the hosts built for are little-endian
  return v;
}

// The proleptic Gregorian date of a day count from 1970-01-01 (H. Hinnant's civil_from_days).
void civilFromDays(int64_t z, int& year, int& month, int& day) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const auto doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
}

std::string twoDigits(int v) { return {static_cast<char>('0' + v / 10), static_cast<char>('0' + v % 10)}; }

bool fixedWidth(const RawValue& raw, std::size_t width, ValueFault& fault) {
  if (raw.bytes.size() >= width) return true;
  fault.reason = "值的字节数不够";
  return false;
}

bool text8(std::string_view bytes, int codePage, std::string& out) {
  text::ConversionReport report;
  return text::codePageToGb18030(codePage, bytes, out, &report) && report.ok();
}

std::optional<db::Value> textValue(const RawValue& raw, const TextForm& form, ValueFault& fault) {
  std::string out;
  if (form.utf16 ? jet4Text(raw.bytes, out) : text8(raw.bytes, form.codePage, out)) return out;
  if (form.utf16) {
    fault.reason = "文字中有不成对的代理项或半个字符";
  } else {
    fault.reason = "文字不是代码页 " + std::to_string(form.codePage) + " 的字符 (文件头记着代码页 " +
                   std::to_string(form.headerCodePage) + "): 请用 --codepage 指定文件写入时的代码页";
  }
  return std::nullopt;
}

std::optional<db::Value> numberValue(AccessType type, const RawValue& raw, ValueFault& fault) {
  switch (type) {
    case AccessType::Byte:
      if (!fixedWidth(raw, 1, fault)) return std::nullopt;
      return int64_t(static_cast<uint8_t>(raw.bytes[0]));
    case AccessType::Integer:
      if (!fixedWidth(raw, 2, fault)) return std::nullopt;
      return int64_t(little<int16_t>(raw.bytes));
    case AccessType::LongInteger:
    case AccessType::Complex:
      if (!fixedWidth(raw, 4, fault)) return std::nullopt;
      return int64_t(little<int32_t>(raw.bytes));
    case AccessType::BigInt:
      if (!fixedWidth(raw, 8, fault)) return std::nullopt;
      return little<int64_t>(raw.bytes);
    case AccessType::Single:
      if (!fixedWidth(raw, 4, fault)) return std::nullopt;
      return double(little<float>(raw.bytes));
    case AccessType::Double:
      if (!fixedWidth(raw, 8, fault)) return std::nullopt;
      return little<double>(raw.bytes);
    case AccessType::Currency:
      if (!fixedWidth(raw, 8, fault)) return std::nullopt;
      return currencyText(little<int64_t>(raw.bytes));
    default: return std::nullopt;
  }
}

std::string guidText(std::string_view b) {
  static const char* hex = "0123456789ABCDEF";
  // The first three groups are little-endian numbers, the last two bytes as they stand.
  static const int order[16] = {3, 2, 1, 0, 5, 4, 7, 6, 8, 9, 10, 11, 12, 13, 14, 15};
  std::string out = "{";
  for (int i = 0; i < 16; ++i) {
    if (i == 4 || i == 6 || i == 8 || i == 10) out += '-';
    const auto byte = static_cast<uint8_t>(b[static_cast<std::size_t>(order[i])]);
    out += hex[byte >> 4];
    out += hex[byte & 15];
  }
  return out + "}";
}

// A decimal column: a sign byte, then a 128-bit magnitude as four 32-bit
// little-endian words, the most significant first.
std::string numericText(std::string_view b, int scale) {
  uint32_t words[4];
  for (int w = 0; w < 4; ++w) words[w] = little<uint32_t>(b.substr(1 + 4 * static_cast<std::size_t>(w), 4));
  std::string digits;
  bool zero = false;
  while (!zero) {  // repeated division by ten of the 128-bit number
    uint64_t rest = 0;
    zero = true;
    for (uint32_t& word : words) {
      const uint64_t part = (rest << 32) | word;
      word = static_cast<uint32_t>(part / 10);
      rest = part % 10;
      if (word != 0) zero = false;
    }
    digits.insert(digits.begin(), static_cast<char>('0' + rest));
  }
  if (scale > 0) {
    const auto s = static_cast<std::size_t>(scale);
    if (digits.size() <= s) digits.insert(0, s + 1 - digits.size(), '0');
    digits.insert(digits.size() - s, ".");
  }
  return ((static_cast<uint8_t>(b[0]) & 0x80) ? "-" : "") + digits;
}

}  // namespace

std::string accessDateText(double days) {
  if (!std::isfinite(days) || std::fabs(days) > 3.0e6) return {};
  const double whole = std::trunc(days);
  // The fraction is the time of day whatever the sign of the day number.
  int64_t millis = std::llround(std::fabs(days - whole) * kMillisPerDay);
  auto dayNumber = static_cast<int64_t>(whole);
  if (millis >= kMillisPerDay) {
    millis -= kMillisPerDay;
    ++dayNumber;
  }
  int year = 0, month = 0, day = 0;
  civilFromDays(dayNumber + kDaysFrom1970To18991230, year, month, day);
  if (year < kFirstYear || year > kLastYear) return {};
  std::string out = std::to_string(year);
  out.insert(0, 4 - out.size(), '0');
  const auto seconds = static_cast<int>(millis / 1000);
  out += "-" + twoDigits(month) + "-" + twoDigits(day) + " " + twoDigits(seconds / 3600) + ":" +
         twoDigits(seconds / 60 % 60) + ":" + twoDigits(seconds % 60);
  if (const auto ms = static_cast<int>(millis % 1000); ms != 0) {
    out += '.';
    out += static_cast<char>('0' + ms / 100);
    out += twoDigits(ms % 100);
  }
  return out;
}

std::string currencyText(int64_t tenThousandths) {
  const bool negative = tenThousandths < 0;
  // The magnitude as unsigned, so that the smallest value has one too.
  const uint64_t magnitude =
      negative ? 0 - static_cast<uint64_t>(tenThousandths) : static_cast<uint64_t>(tenThousandths);
  std::string fraction = std::to_string(magnitude % kCurrencyScale);
  fraction.insert(0, 4 - fraction.size(), '0');
  return (negative ? "-" : "") + std::to_string(magnitude / kCurrencyScale) + "." + fraction;
}

bool jet4Text(std::string_view bytes, std::string& out) {
  std::u16string units;
  auto appendUtf16 = [&units](std::string_view run) {
    if (run.size() % 2 != 0) return false;
    for (std::size_t i = 0; i < run.size(); i += 2)
      units.push_back(static_cast<char16_t>(static_cast<uint8_t>(run[i]) | (static_cast<uint8_t>(run[i + 1]) << 8)));
    return true;
  };
  if (bytes.size() >= 2 && static_cast<uint8_t>(bytes[0]) == 0xff && static_cast<uint8_t>(bytes[1]) == 0xfe) {
    bool compressed = true;
    std::size_t start = 2;
    for (std::size_t i = 2; i <= bytes.size(); ++i) {
      if (i < bytes.size() && bytes[i] != '\0') continue;
      const std::string_view run = bytes.substr(start, i - start);
      if (compressed) {
        for (char c : run) units.push_back(static_cast<char16_t>(static_cast<uint8_t>(c)));
      } else if (!appendUtf16(run)) {
        return false;
      }
      compressed = !compressed;
      start = i + 1;
    }
  } else if (!appendUtf16(bytes)) {
    return false;
  }
  text::ConversionReport report;
  out = text::utf16ToGb18030(units, &report);
  return report.ok();
}

std::optional<db::Value> convertValue(const AccessColumn& column, const RawValue& raw, const TextForm& form,
                                      ValueFault& fault) {
  if (raw.null) return db::Value{};
  switch (column.type) {
    case AccessType::Boolean: return int64_t(raw.bytes == std::string(1, '\1') ? 1 : 0);
    case AccessType::Text:
    case AccessType::Memo: return textValue(raw, form, fault);
    case AccessType::Binary:
    case AccessType::OleObject: return db::Blob{raw.bytes};
    case AccessType::DateTime: {
      if (!fixedWidth(raw, 8, fault)) return std::nullopt;
      std::string t = accessDateText(little<double>(raw.bytes));
      if (t.empty()) {
        fault.reason = "日期不在100年到9999年之间";
        return std::nullopt;
      }
      return t;
    }
    case AccessType::Guid:
      if (!fixedWidth(raw, 16, fault)) return std::nullopt;
      return guidText(raw.bytes);
    case AccessType::Numeric:
      if (!fixedWidth(raw, 17, fault)) return std::nullopt;
      return numericText(raw.bytes, column.scale);
    case AccessType::Other: fault.reason = "不认识的列类型 " + std::to_string(column.typeCode); return std::nullopt;
    default: return numberValue(column.type, raw, fault);
  }
}

}  // namespace gz::migrate
