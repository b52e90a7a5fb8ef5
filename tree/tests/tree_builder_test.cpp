#include "tree/tree_builder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace gz::tree {
namespace {

// A tree as its records' codes in display order, indented two blanks per level.
std::vector<std::string> outline(const InstitutionTree& tree) {
  std::vector<std::string> lines;
  tree.forEachInDisplayOrder([&](std::size_t n, int depth) {
    lines.push_back(std::string(2 * static_cast<std::size_t>(depth), ' ') + tree.record(n).jgdm);
  });
  return lines;
}

// (record, depth) in display order: identifies the tree completely.
using Shape = std::vector<std::pair<std::size_t, int>>;

Shape shapeOf(const InstitutionTree& tree) {
  Shape s;
  tree.forEachInDisplayOrder([&](std::size_t n, int depth) { s.emplace_back(tree.node(n).record, depth); });
  return s;
}

std::shared_ptr<const InstitutionRecords> recordsOf(const std::vector<std::string>& codes) {
  auto records = std::make_shared<InstitutionRecords>();
  for (const std::string& c : codes) {
    JGData r;
    r.id = static_cast<int32_t>(records->size());
    r.jgdm = c;
    r.levelLength = static_cast<int32_t>(c.size());
    records->push_back(std::move(r));
  }
  return records;
}

std::vector<std::string> outlineOf(const std::vector<std::string>& codes) {
  return outline(buildInstitutionTree(recordsOf(codes)));
}

TEST(TreeBuilderTest, CodesNestByTwoCharacters) {
  EXPECT_EQ(outlineOf({"01", "02", "0101", "0102", "010101"}),
            (std::vector<std::string>{"01", "  0101", "    010101", "  0102", "02"}));
}

TEST(TreeBuilderTest, NothingWhenTheFirstCodeIsNotTwoBytes) {
  EXPECT_TRUE(buildInstitutionTree(recordsOf({"", "01", "0101"})).empty());
  EXPECT_TRUE(buildInstitutionTree(recordsOf({"1", "01", "0101"})).empty());
  EXPECT_TRUE(buildInstitutionTree(recordsOf({})).empty());
}

TEST(TreeBuilderTest, TopLevelStopsAtTheFirstOtherLength) {
  // 02 comes after a longer code: it has no parent and is left out.
  EXPECT_EQ(outlineOf({"01", "0101", "02", "0201"}), (std::vector<std::string>{"01", "  0101"}));
}

TEST(TreeBuilderTest, OddLengthCodeIsLeftOutWithEverythingBelow) {
  EXPECT_EQ(outlineOf({"01", "012", "0101", "01201"}), (std::vector<std::string>{"01", "  0101"}));
}

TEST(TreeBuilderTest, TrailingBlankFindsNoParent) {
  EXPECT_EQ(outlineOf({"01", "0101 ", "0102"}), (std::vector<std::string>{"01", "  0102"}));
}

TEST(TreeBuilderTest, ParentsMatchExactBytes) {
  EXPECT_EQ(outlineOf({"0a", "0A01", "0a01", " 0a01"}), (std::vector<std::string>{"0a", "  0a01"}));
}

TEST(TreeBuilderTest, DuplicateCodesBothGetNodesChildrenGoUnderTheFirst) {
  const InstitutionTree tree = buildInstitutionTree(recordsOf({"01", "01", "0101", "0101", "010101"}));
  EXPECT_EQ(shapeOf(tree), (Shape{{0, 0}, {2, 1}, {4, 2}, {3, 1}, {1, 0}}));
}

TEST(TreeBuilderTest, NodesKnowTheirParentsAndRecords) {
  const InstitutionTree tree = buildInstitutionTree(recordsOf({"01", "02", "0201"}));
  ASSERT_EQ(tree.size(), 3u);
  EXPECT_EQ(tree.topLevel(), (std::vector<std::size_t>{0, 1}));
  EXPECT_EQ(tree.node(2).parent, 1u);
  EXPECT_EQ(tree.node(1).children, (std::vector<std::size_t>{2}));
  EXPECT_EQ(tree.node(0).parent, InstitutionTree::kNoParent);
  EXPECT_EQ(tree.record(2).jgdm, "0201");
}

// The plain rule, one scan of the tree in display order per record.
Shape referenceShape(const InstitutionRecords& list) {
  struct Node {
    std::size_t record;
    std::vector<std::size_t> children;
  };
  std::vector<Node> nodes;
  std::vector<std::size_t> top;
  auto displayOrder = [&] {
    std::vector<std::pair<std::size_t, int>> order;
    auto walk = [&](auto&& self, std::size_t n, int depth) -> void {
      order.emplace_back(n, depth);
      for (std::size_t c : nodes[n].children) self(self, c, depth + 1);
    };
    for (std::size_t t : top) walk(walk, t, 0);
    return order;
  };
  std::size_t i = 0;
  for (; i < list.size() && list[i].levelLength == 2; ++i) {
    nodes.push_back({i, {}});
    top.push_back(nodes.size() - 1);
  }
  for (; i < list.size(); ++i) {
    const int len = list[i].levelLength - 2;
    const std::string parent = len > 0 ? list[i].jgdm.substr(0, static_cast<std::size_t>(len)) : "";
    for (const auto& [n, depth] : displayOrder()) {
      if (list[nodes[n].record].jgdm == parent) {
        nodes.push_back({i, {}});
        nodes[n].children.push_back(nodes.size() - 1);
        break;
      }
    }
  }
  Shape s;
  for (const auto& [n, depth] : displayOrder()) s.emplace_back(nodes[n].record, depth);
  return s;
}

// Random lists of realistic shape: a run of two-byte codes, then codes made
// by growing earlier ones by two bytes, with duplicates, odd lengths and
// trailing blanks mixed in; in load order, or with everything after the
// top level shuffled, or shuffled completely.
std::vector<std::string> randomCodes(std::mt19937& rng) {
  auto pick = [&](int below) { return std::uniform_int_distribution<int>(0, below - 1)(rng); };
  auto digits = [&](int n) {
    std::string s;
    for (int k = 0; k < n; ++k) s += static_cast<char>('0' + pick(3));
    return s;
  };
  std::vector<std::string> codes;
  const int top = 1 + pick(4);
  for (int k = 0; k < top; ++k) codes.push_back(digits(2));
  const int more = pick(40);
  for (int k = 0; k < more; ++k) {
    const std::string& base = codes[static_cast<std::size_t>(pick(static_cast<int>(codes.size())))];
    switch (pick(10)) {
      case 0: codes.push_back(base); break;                    // a duplicate
      case 1: codes.push_back(base + digits(1)); break;        // odd growth
      case 2: codes.push_back(base + digits(2) + " "); break;  // trailing blank
      case 3: codes.push_back(digits(pick(5))); break;         // anything short
      default: codes.push_back(base + digits(2)); break;
    }
  }
  const auto from = codes.begin() + (pick(4) == 0 ? 0 : top);
  if (pick(2) == 0) {
    std::sort(codes.begin(), codes.end(), [](const std::string& a, const std::string& b) {
      return a.size() != b.size() ? a.size() < b.size() : a < b;
    });
  } else {
    std::shuffle(from, codes.end(), rng);
  }
  return codes;
}

TEST(TreeBuilderTest, MatchesThePlainScanOnRandomLists) {
  std::mt19937 rng(20240517);
  std::size_t deep = 0;
  for (int round = 0; round < 3000; ++round) {
    const auto records = recordsOf(randomCodes(rng));
    const Shape expected = referenceShape(*records);
    ASSERT_EQ(shapeOf(buildInstitutionTree(records)), expected) << "round " << round;
    if (std::any_of(expected.begin(), expected.end(), [](const auto& e) { return e.second >= 2; })) ++deep;
  }
  EXPECT_GT(deep, 1000u);  // the lists really built trees of several levels
}

}  // namespace
}  // namespace gz::tree
