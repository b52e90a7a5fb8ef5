#include "db/bulk_writing.h"

#include <string_view>
#include <unordered_map>

namespace gz::db {

namespace {

constexpr std::string_view kValues = " values (";

// Where the value list "(?,...,?)" of an insert begins (at its "("), when
// the text is an insert that ends with one list of placeholders and nothing
// else; npos otherwise.
std::size_t valueListAt(const std::string& text) {
  if (text.rfind("insert into ", 0) != 0) return std::string::npos;
  const std::size_t values = text.rfind(kValues);
  if (values == std::string::npos) return std::string::npos;
  const std::size_t at = values + kValues.size() - 1;
  const std::string_view list = std::string_view(text).substr(at);
  if (list.size() < 3 || list.back() != ')') return std::string::npos;
  for (std::size_t i = 1; i + 1 < list.size(); ++i)
    if (list[i] != (i % 2 == 1 ? '?' : ',')) return std::string::npos;
  return at;
}

}  // namespace

std::vector<Statement> mergeBatch(const std::vector<Statement>& statements, std::size_t maxValues) {
  struct Group {
    std::size_t listAt;
    std::vector<const Statement*> rows;
  };
  std::vector<Group> inserts;  // in the order their texts first appear
  std::unordered_map<std::string_view, std::size_t> groupOfText;
  std::vector<const Statement*> others;
  for (const Statement& s : statements) {
    const std::size_t at = valueListAt(s.text);
    if (at == std::string::npos) {
      others.push_back(&s);
      continue;
    }
    const auto [it, added] = groupOfText.try_emplace(s.text, inserts.size());
    if (added) inserts.push_back({at, {}});
    inserts[it->second].rows.push_back(&s);
  }

  std::vector<Statement> out;
  for (const Group& g : inserts) {
    const std::string& text = g.rows.front()->text;
    const std::string_view head = std::string_view(text).substr(0, g.listAt);
    const std::string_view list = std::string_view(text).substr(g.listAt);
    const std::size_t perRow = g.rows.front()->binds.size();
    const std::size_t rowsPerStatement = perRow == 0 || perRow >= maxValues ? 1 : maxValues / perRow;
    for (std::size_t first = 0; first < g.rows.size(); first += rowsPerStatement) {
      const std::size_t end = std::min(g.rows.size(), first + rowsPerStatement);
      Statement merged;
      merged.text.reserve(head.size() + (end - first) * (list.size() + 1));
      merged.text.append(head);
      merged.binds.reserve((end - first) * perRow);
      for (std::size_t i = first; i < end; ++i) {
        if (i > first) merged.text += ',';
        merged.text.append(list);
        merged.binds.insert(merged.binds.end(), g.rows[i]->binds.begin(), g.rows[i]->binds.end());
      }
      out.push_back(std::move(merged));
    }
  }
  for (const Statement* s : others) out.push_back(*s);
  return out;
}

}  // namespace gz::db
