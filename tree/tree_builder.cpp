#include "tree/tree_builder.h"

#include <string_view>
#include <unordered_map>
#include <utility>

namespace gz::tree {

namespace {

constexpr std::size_t kTopLevelCodeLength = 2;

std::string_view parentCode(const JGData& r) {
  const std::string_view code = r.jgdm;
  return code.size() > kTopLevelCodeLength ? code.substr(0, code.size() - kTopLevelCodeLength) : std::string_view();
}

}  // namespace

void InstitutionTree::forEachInDisplayOrder(const std::function<void(std::size_t node, int depth)>& visit) const {
  // An explicit stack: a chain of institutions may be deeper than is safe
  // for recursion.
  std::vector<std::pair<std::size_t, int>> pending;
  for (auto it = topLevel_.rbegin(); it != topLevel_.rend(); ++it) pending.emplace_back(*it, 0);
  while (!pending.empty()) {
    const auto [n, depth] = pending.back();
    pending.pop_back();
    visit(n, depth);
    const auto& children = nodes_[n].children;
    for (auto it = children.rbegin(); it != children.rend(); ++it) pending.emplace_back(*it, depth + 1);
  }
}

InstitutionTree buildInstitutionTree(std::shared_ptr<const InstitutionRecords> records) {
  InstitutionTree tree;
  tree.records_ = std::move(records);
  const InstitutionRecords& list = *tree.records_;

  // The parent of a record is the first node in display order with the
  // parent code. For nodes of one code, the first added is also the first in
  // display order: two-byte codes only ever sit at the top level, added in
  // list order, and every other node goes under the one first node of its
  // parent code, after its earlier siblings. So an index that keeps the first
  // node added for each code finds exactly the node a scan would.
  std::unordered_map<std::string_view, std::size_t> firstNodeByCode;
  firstNodeByCode.reserve(list.size());

  auto addNode = [&](std::size_t record, std::size_t parent) {
    const std::size_t n = tree.nodes_.size();
    tree.nodes_.push_back({record, parent, {}});
    if (parent == InstitutionTree::kNoParent) {
      tree.topLevel_.push_back(n);
    } else {
      tree.nodes_[parent].children.push_back(n);
    }
    firstNodeByCode.try_emplace(std::string_view(list[record].jgdm), n);
  };

  std::size_t i = 0;
  for (; i < list.size() && list[i].jgdm.size() == kTopLevelCodeLength; ++i) {
    addNode(i, InstitutionTree::kNoParent);
  }
  for (; i < list.size(); ++i) {
    const auto parent = firstNodeByCode.find(parentCode(list[i]));
    if (parent != firstNodeByCode.end()) addNode(i, parent->second);
  }
  return tree;
}

}  // namespace gz::tree
