#include "db/bulk_writing.h"

#include <charconv>
#include <string_view>
#include <type_traits>
#include <unordered_map>

#include "db/database_text.h"
#include "db/sql_values.h"

namespace gz::db {

namespace {

constexpr std::string_view kInsertInto = "insert into ";
constexpr std::string_view kValues = " values (";
// An identity column "generated always" takes a given value from a bulk load as it is.
constexpr std::string_view kOverriding = " overriding system value";

// The "table (col,...)" an insert names, when the text is a plain insert of
// one row of placeholders and nothing else; empty otherwise.
std::string loadTarget(const std::string& text) {
  if (text.rfind(kInsertInto, 0) != 0) return {};
  const std::size_t values = text.rfind(kValues);
  if (values == std::string::npos) return {};
  const std::string_view list = std::string_view(text).substr(values + kValues.size() - 1);
  if (list.size() < 3 || list.back() != ')') return {};
  for (std::size_t i = 1; i + 1 < list.size(); ++i)
    if (list[i] != (i % 2 == 1 ? '?' : ',')) return {};
  std::string_view target = std::string_view(text).substr(kInsertInto.size(), values - kInsertInto.size());
  if (target.ends_with(kOverriding)) target.remove_suffix(kOverriding.size());
  if (target.empty() || target.back() != ')' || target.find('(') == std::string_view::npos) return {};
  return std::string(target);
}

void appendEscaped(std::string& out, std::string_view text) {
  for (char c : text) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\t': out += "\\t"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      default: out += c;
    }
  }
}

}  // namespace

BatchPlan planBatch(const std::vector<Statement>& statements) {
  BatchPlan plan;
  std::unordered_map<std::string_view, std::size_t> loadOfText;
  for (const Statement& s : statements) {
    if (const auto it = loadOfText.find(s.text); it != loadOfText.end()) {
      plan.loads[it->second].rows.push_back(&s);
      continue;
    }
    std::string target = loadTarget(s.text);
    if (target.empty()) {
      plan.others.push_back(&s);
      continue;
    }
    loadOfText.emplace(s.text, plan.loads.size());
    plan.loads.push_back({std::move(target), {&s}});
  }
  return plan;
}

void appendCopyLine(std::string& out, const std::vector<Value>& values) {
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (i > 0) out += '\t';
    std::visit(
        [&out](const auto& x) {
          using T = std::decay_t<decltype(x)>;
          if constexpr (std::is_same_v<T, std::monostate>) out += "\\N";
          else if constexpr (std::is_same_v<T, int64_t>) out += std::to_string(x);
          else if constexpr (std::is_same_v<T, double>) {
            char buffer[32];
            out.append(buffer, std::to_chars(buffer, buffer + sizeof buffer, x).ptr);
          } else if constexpr (std::is_same_v<T, std::string>) appendEscaped(out, databaseUtf8(x));
          else out += isoDate(x);
        },
        values[i]);
  }
  out += '\n';
}

}  // namespace gz::db
