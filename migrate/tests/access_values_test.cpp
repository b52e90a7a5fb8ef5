#include "migrate/access_values.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "text/gb18030.h"

namespace gz::migrate {
namespace {

TEST(AccessValues, DatesAreTheInstantAccessMeans) {
  struct Row {
    const char* name;
    double days;
    const char* text;
  };
  const Row rows[] = {
      {"day zero", 0.0, "1899-12-30 00:00:00"},
      {"a day with its time", 27293.75, "1974-09-21 18:00:00"},
      // Before day zero the fraction still counts forward from midnight.
      {"the day before, at six", -1.25, "1899-12-29 06:00:00"},
      {"the day before, at noon", -1.5, "1899-12-29 12:00:00"},
      {"milliseconds kept", 1.0 + 1.0 / 86400000.0 * 123, "1899-12-31 00:00:00.123"},
      {"a rounding that reaches midnight", 2.0 - 1e-10, "1900-01-01 00:00:00"},
      {"before the Gregorian reform as Access counts", -115859.0, "1582-10-14 00:00:00"},
      {"the first year Access takes", -657434.0, "0100-01-01 00:00:00"},
      {"the last second Access takes", 2958465.0 + 86399.0 / 86400.0, "9999-12-31 23:59:59"},
      {"before year 100", -657435.0, ""},
      {"after year 9999", 2958466.0, ""},
      {"not a number", std::nan(""), ""},
  };
  for (const Row& r : rows) EXPECT_EQ(accessDateText(r.days), r.text) << r.name;
}

TEST(AccessValues, CurrencyIsExactDecimalText) {
  struct Row {
    const char* name;
    int64_t tenThousandths;
    const char* text;
  };
  const Row rows[] = {
      {"zero", 0, "0.0000"},
      {"three and a half", 35000, "3.5000"},
      {"a ten-thousandth below zero", -1, "-0.0001"},
      {"beyond a double's 15 digits", 9223372036854775807, "922337203685477.5807"},
      {"the smallest", INT64_MIN, "-922337203685477.5808"},
  };
  for (const Row& r : rows) EXPECT_EQ(currencyText(r.tenThousandths), r.text) << r.name;
}

TEST(AccessValues, Jet4TextKeepsEveryCharacterOrRefuses) {
  using namespace std::string_literals;
  struct Row {
    const char* name;
    std::string bytes;
    bool ok;
    const char* utf8;
  };
  const Row rows[] = {
      {"empty", ""s, true, ""},
      {"UTF-16", "A\0\x2d\x4e"s, true, "A中"},
      {"compressed",
       "\xff\xfe"
       "abc"s,
       true, "abc"},
      {"compressed, then UTF-16 after a zero, then compressed again",
       "\xff\xfe"
       "a\0\x2d\x4e\0b"s,
       true, "a中b"},
      {"a surrogate pair", "\x3d\xd8\x00\xde"s, true, "\xF0\x9F\x98\x80"},
      {"an unpaired surrogate",
       "\x3d\xd8"
       "a\0"s,
       false, ""},
      {"half a character", "A\0B"s, false, ""},
  };
  for (const Row& r : rows) {
    std::string out;
    EXPECT_EQ(jet4Text(r.bytes, out), r.ok) << r.name;
    if (r.ok) EXPECT_EQ(text::gb18030ToUtf8(out), r.utf8) << r.name;
  }
}

TEST(AccessValues, NullIsKeptApartFromEmptyAndNumbersKeepTheirBits) {
  const TextForm form;
  ValueFault fault;
  const AccessColumn text{"t", AccessType::Text};
  EXPECT_EQ(convertValue(text, RawValue{true, {}}, form, fault), db::Value{});
  EXPECT_EQ(convertValue(text, RawValue{false, {}}, form, fault), db::Value{std::string()});
  const float single = 0.1f;
  std::string bytes(sizeof single, '\0');
  std::memcpy(bytes.data(), &single, sizeof single);
  const auto v = convertValue({"s", AccessType::Single}, RawValue{false, bytes}, form, fault);
  ASSERT_TRUE(v && std::holds_alternative<double>(*v));
  EXPECT_EQ(static_cast<float>(std::get<double>(*v)), single);
  // A value shorter than its type is refused, not read past its end.
  EXPECT_FALSE(convertValue({"d", AccessType::Double}, RawValue{false, "abc"}, form, fault));
  EXPECT_FALSE(fault.reason.empty());
}

}  // namespace
}  // namespace gz::migrate
