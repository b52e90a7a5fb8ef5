#include "codes/code_map.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace gz::codes {
namespace {

TEST(CodeMapTest, LookupOfAnAbsentKeyAddsItWithTheEmptyCode) {
  CodeMap map;
  map.set("a", "1");
  EXPECT_EQ(map.lookup("b"), "");
  EXPECT_EQ(map.size(), 2u);
  map.set("b", "2");  // the entry the lookup added is the one that is set
  EXPECT_EQ(map.lookup("b"), "2");
  EXPECT_EQ(map.lookup("a"), "1");
  EXPECT_EQ(map.size(), 2u);
}

TEST(CodeMapTest, SetReplacesAndClearEmpties) {
  CodeMap map;
  map.set("\xC4\xD0", "1");
  map.set("\xC4\xD0", "2");
  EXPECT_EQ(map.lookup("\xC4\xD0"), "2");
  map.clear();
  EXPECT_EQ(map.size(), 0u);
  EXPECT_EQ(map.lookup("\xC4\xD0"), "");
}

TEST(CodeMapTest, KeysAreExactBytes) {
  CodeMap map;
  map.set("Ab", "1");
  EXPECT_EQ(map.lookup("ab"), "");
  EXPECT_EQ(map.lookup("Ab "), "");
  EXPECT_EQ(map.lookup(std::string("Ab\0", 3)), "");
  EXPECT_EQ(map.lookup("Ab"), "1");
}

TEST(CodeMapTest, OrdersUnsignedBytesWithAPrefixFirst) {
  CodeMap map;
  for (const char* k : {"\xC4\xD0", "b", "ab", "a", "\x7F", "A"}) map.set(k, "");
  std::vector<std::string> keys;
  for (const auto& [k, v] : map.entries()) keys.push_back(k);
  EXPECT_EQ(keys, (std::vector<std::string>{"A", "a", "ab", "b", "\x7F", "\xC4\xD0"}));
}

}  // namespace
}  // namespace gz::codes
