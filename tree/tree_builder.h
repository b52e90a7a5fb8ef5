// The institution tree, built from the institution list by code prefix.
// A plain structure without widgets: the window turns it into its tree view,
// the command line prints it.
#pragma once

#include <cstddef>
#include <functional>
#include <limits>
#include <memory>
#include <vector>

#include "tree/institutions.h"

namespace gz::tree {

class InstitutionTree {
 public:
  static constexpr std::size_t kNoParent = std::numeric_limits<std::size_t>::max();

  struct Node {
    std::size_t record = 0;             // index into records()
    std::size_t parent = kNoParent;     // kNoParent at the top level
    std::vector<std::size_t> children;  // node indices, in display order
  };

  InstitutionTree() : records_(std::make_shared<const InstitutionRecords>()) {}

  // Nodes are numbered in the order they were added, which is list order.
  std::size_t size() const { return nodes_.size(); }
  bool empty() const { return nodes_.empty(); }
  const Node& node(std::size_t i) const { return nodes_[i]; }
  const std::vector<std::size_t>& topLevel() const { return topLevel_; }
  const JGData& record(std::size_t node) const { return (*records_)[nodes_[node].record]; }
  const std::shared_ptr<const InstitutionRecords>& records() const { return records_; }

  // Calls `visit(node, depth)` for every node in display order: each node
  // before its children, siblings in order, depth 0 at the top level.
  void forEachInDisplayOrder(const std::function<void(std::size_t node, int depth)>& visit) const;

 private:
  friend InstitutionTree buildInstitutionTree(std::shared_ptr<const InstitutionRecords> records);

  std::shared_ptr<const InstitutionRecords> records_;
  std::vector<Node> nodes_;
  std::vector<std::size_t> topLevel_;
};

// Builds the tree from records in list order:
// - the top level takes the records from the first one on while their code
//   is exactly two bytes long, and stops at the first that is not;
// - every later record goes, as the last child, under the first node in
//   display order whose code equals its own code without the last two bytes;
//   a record without such a node is left out, and with it everything that
//   would have gone below it.
InstitutionTree buildInstitutionTree(std::shared_ptr<const InstitutionRecords> records);

}  // namespace gz::tree
