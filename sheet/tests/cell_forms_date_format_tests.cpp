#include <gtest/gtest.h>

#include "sheet/shared/number_format.h"

namespace gz::sheet {
namespace {

TEST(DateFormat, BuiltinIdsWithoutCode) {
  for (int id : {14, 15, 16, 17, 18, 19, 20, 21, 22, 27, 31, 36, 45, 46, 47, 50, 56, 58})
    EXPECT_TRUE(isDateFormat(id, "")) << id;
  for (int id : {0, 1, 2, 9, 10, 11, 12, 13, 23, 26, 37, 44, 48, 49, 59, 164}) EXPECT_FALSE(isDateFormat(id, "")) << id;
}

TEST(DateFormat, CustomCodes) {
  const std::pair<const char*, bool> cases[] = {
      {"yyyy\"年\"m\"月\"d\"日\"", true},
      {"yyyy年m月d日", true},
      {"[h]:mm:ss", true},
      {"[mm]", true},
      {"yyyy-mm-dd;@", true},
      {"[$-804]yyyy/m/d", true},
      {"[$-F800]dddd\\,\\ mmmm\\ dd\\,\\ yyyy", true},
      {"h:mm AM/PM", true},
      {"m/d/yy", true},
      {"[DBNum1]0", false},
      {"[DBNum2][$-804]General", false},
      {"#,##0.00\"元\"", false},
      {"0.00E+00", false},
      {"General", false},
      {"@", false},
      {"#,##0_);[Red](#,##0)", false},
      {"_(* #,##0_);_(* (#,##0);_(* \"-\"??_);_(@_)", false},
      {"0\\d", false},
      {"0\"days", false},  // unterminated quote
      {"[Red", false},
  };
  for (const auto& [code, expected] : cases) EXPECT_EQ(isDateFormat(164, code), expected) << code;
  // A code of its own decides, whatever the id.
  EXPECT_FALSE(isDateFormat(14, "0.00"));
  EXPECT_TRUE(isDateFormat(0, "d-mmm"));
}

}  // namespace
}  // namespace gz::sheet
