#include "db/bulk_writing.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <string_view>
#include <type_traits>
#include <unordered_map>

#include "db/database_text.h"
#include "db/sql_values.h"
#include "text/bytes.h"

namespace gz::db {

namespace {

void appendEscaped(std::string& out, std::string_view text) {
  // Runs of bytes that need no escape are appended whole.
  std::size_t from = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char* escape = nullptr;
    switch (text[i]) {
      case '\\': escape = "\\\\"; break;
      case '\t': escape = "\\t"; break;
      case '\n': escape = "\\n"; break;
      case '\r': escape = "\\r"; break;
      default: continue;
    }
    out.append(text.substr(from, i - from)).append(escape);
    from = i + 1;
  }
  out.append(text.substr(from));
}

// The wider of two inserts into one table whose columns differ only by
// trailing columns that are null by default; nullopt when they cannot share
// a load.
std::optional<InsertInto> jointInto(const InsertInto& a, const InsertInto& b, const NullByDefault& nullByDefault) {
  if (!nullByDefault || a.table != b.table || a.columns == b.columns) return std::nullopt;
  const InsertInto& narrower = a.columns.size() < b.columns.size() ? a : b;
  const InsertInto& wider = a.columns.size() < b.columns.size() ? b : a;
  if (!std::equal(narrower.columns.begin(), narrower.columns.end(), wider.columns.begin())) return std::nullopt;
  for (std::size_t i = narrower.columns.size(); i < wider.columns.size(); ++i)
    if (!nullByDefault(wider.table, wider.columns[i])) return std::nullopt;
  return wider;
}

}  // namespace

BatchPlan planBatch(const std::vector<Statement>& statements, const NullByDefault& nullByDefault) {
  BatchPlan plan;
  std::unordered_map<const InsertInto*, std::size_t> loadOfInto;
  for (const Statement& s : statements) {
    if (!s.into) {
      plan.others.push_back(&s);
      continue;
    }
    if (const auto it = loadOfInto.find(s.into.get()); it != loadOfInto.end()) {
      plan.loads[it->second].rows.push_back(&s);
      continue;
    }
    std::size_t load = plan.loads.size();
    for (std::size_t i = 0; i < plan.loads.size() && load == plan.loads.size(); ++i) {
      if (plan.loads[i].into == *s.into) load = i;
      else if (std::optional<InsertInto> joint = jointInto(plan.loads[i].into, *s.into, nullByDefault)) {
        load = i;
        plan.loads[i].into = std::move(*joint);
      }
    }
    if (load == plan.loads.size()) plan.loads.push_back({*s.into, {}});
    plan.loads[load].rows.push_back(&s);
    loadOfInto.emplace(s.into.get(), load);
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
          else if constexpr (std::is_same_v<T, int64_t> || std::is_same_v<T, double>) {
            char buffer[32];
            out.append(buffer, std::to_chars(buffer, buffer + sizeof buffer, x).ptr);
          } else if constexpr (std::is_same_v<T, std::string>) {
            // Plain ASCII is the same in UTF-8: escaped as it stands, without a converted copy.
            if (text::isAscii(x)) appendEscaped(out, x);
            else appendEscaped(out, databaseUtf8(x));
          } else if constexpr (std::is_same_v<T, Blob>) {
            appendEscaped(out, byteaHex(x));
          } else out += isoDate(x);
        },
        values[i]);
  }
  for (std::size_t i = values.size(); i < columns; ++i) out += values.empty() && i == 0 ? "\\N" : "\t\\N";
  out += '\n';
}

}  // namespace gz::db
