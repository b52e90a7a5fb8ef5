#include "db/bulk_writing.h"

#include <algorithm>
#include <charconv>
#include <optional>
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

// The columns a "table (col,...)" target names.
std::size_t columnCount(std::string_view target) {
  return static_cast<std::size_t>(std::count(target.begin(), target.end(), ',')) + 1;
}

// The longer of two targets of one table whose column lists differ only by
// trailing columns that are null by default; nullopt when they cannot share
// a load.
std::optional<std::string> jointTarget(const std::string& a, const std::string& b, const NullByDefault& nullByDefault) {
  if (!nullByDefault || a == b) return std::nullopt;
  const std::string& shorter = a.size() < b.size() ? a : b;
  const std::string& longer = a.size() < b.size() ? b : a;
  // "t (x,y)" against "t (x,y,z)": the shorter without its ")" and then a comma.
  const std::string_view head = std::string_view(shorter).substr(0, shorter.size() - 1);
  if (!std::string_view(longer).starts_with(head) || longer[head.size()] != ',') return std::nullopt;
  const std::string_view table = std::string_view(shorter).substr(0, shorter.find(" ("));
  std::string_view extra = std::string_view(longer).substr(head.size() + 1);
  extra.remove_suffix(1);  // ")"
  while (!extra.empty()) {
    const std::size_t comma = extra.find(',');
    if (!nullByDefault(table, extra.substr(0, comma))) return std::nullopt;
    extra = comma == std::string_view::npos ? std::string_view() : extra.substr(comma + 1);
  }
  return longer;
}

}  // namespace

BatchPlan planBatch(const std::vector<Statement>& statements, const NullByDefault& nullByDefault) {
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
    std::size_t load = plan.loads.size();
    for (std::size_t i = 0; i < plan.loads.size() && load == plan.loads.size(); ++i)
      if (std::optional<std::string> joint = jointTarget(plan.loads[i].target, target, nullByDefault)) {
        load = i;
        plan.loads[i].target = std::move(*joint);
      }
    if (load == plan.loads.size()) plan.loads.push_back({std::move(target), {}});
    plan.loads[load].rows.push_back(&s);
    plan.loads[load].columns = columnCount(plan.loads[load].target);
    loadOfText.emplace(s.text, load);
  }
  return plan;
}

void appendCopyLine(std::string& out, const std::vector<Value>& values, std::size_t columns) {
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
  for (std::size_t i = values.size(); i < columns; ++i) out += values.empty() && i == 0 ? "\\N" : "\t\\N";
  out += '\n';
}

}  // namespace gz::db
