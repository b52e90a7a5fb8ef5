#include "import/steps/person_rewrite.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>

#include "db/payroll/dialect.h"
#include "db/sql_values.h"
#include "import/shared/change_observer.h"

namespace gz::imp {
namespace {

// The history tables an update rewrites, by the sheet column that feeds them,
// with the columns the import writes in each.
struct HistoryTable {
  int32_t SheetColumns::* title;
  const char* table;
  std::vector<std::string> written;
};
const HistoryTable kHistoryTables[] = {
    {&SheetColumns::education, "ryxl", {"mid", "xxxs", "xlrq", "xldm", "dzysxl"}},
    {&SheetColumns::position, "ryrz", {"mid", "rzrq", "rzzwdm", "gzzwdm"}},
    {&SheetColumns::assessment, "rykh", {"mid", "khnd", "khjg"}},
};

bool sameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

// A value as the text that identifies it: whole numbers without a point,
// dates as yyyy-mm-dd.
std::string canonical(const db::Value& v) {
  if (const auto* s = std::get_if<std::string>(&v)) return *s;
  if (const auto* i = std::get_if<int64_t>(&v)) return std::to_string(*i);
  char buf[40];
  if (const auto* d = std::get_if<double>(&v)) {
    if (*d == std::trunc(*d) && std::fabs(*d) < 1e18) return std::to_string(static_cast<int64_t>(*d));
    std::snprintf(buf, sizeof buf, "%.17g", *d);
    return buf;
  }
  const auto& d = std::get<db::Date>(v);
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", d.year, d.month, d.day);
  return buf;
}

int columnOf(const std::vector<std::string>& names, std::string_view name) {
  for (std::size_t i = 0; i < names.size(); ++i)
    if (sameName(names[i], name)) return static_cast<int>(i);
  return -1;
}

}  // namespace

bool sameStoredValue(const db::Value& stored, const db::Value& written) {
  const bool storedNull = std::holds_alternative<std::monostate>(stored);
  const bool writtenNull = std::holds_alternative<std::monostate>(written);
  if (storedNull || writtenNull) return storedNull == writtenNull;
  return canonical(stored) == canonical(written);
}

StoredPeople::StoredPeople(db::Connection& conn, std::string_view deptCode, const SheetColumns& columns,
                           const std::unordered_set<int64_t>& ids) {
  const db::Dialect& d = db::dialectOf(conn);
  const auto read = [&](const db::Statement& s, const char* owner, Rows& into) {
    const auto rs = conn.query(s);
    into.names = rs->columnNames();
    const int at = columnOf(into.names, owner);
    while (rs->next()) {
      const db::Value key = rs->valueAt(at);
      const auto* i = std::get_if<int64_t>(&key);
      const auto* r = std::get_if<double>(&key);
      const int64_t id = i ? *i : r ? static_cast<int64_t>(*r) : 0;
      if (ids.count(id) == 0) continue;
      std::vector<db::Value>& row = into.byPerson[id].emplace_back();
      for (int c = 0; c < static_cast<int>(into.names.size()); ++c) row.push_back(rs->valueAt(c));
    }
  };
  read(d.selectDepartmentPeople(deptCode), "id", people_);
  for (const HistoryTable& h : kHistoryTables) {
    if (columns.*h.title == 0) continue;
    Rows& rows = history_.emplace_back(h.table, Rows{}).second;
    try {
      read(d.selectDepartmentRows(h.table, deptCode), "mid", rows);
    } catch (const db::DbError& e) {
      if (db::endsTheWork(e.fault())) throw;
      rows = Rows{};
      rows.readable = false;
    }
  }
}

const StoredPeople::Rows* StoredPeople::history(std::string_view table) const {
  for (const auto& [name, rows] : history_)
    if (name == table) return &rows;
  return nullptr;
}

PersonRewrite::PersonRewrite(const StepContext& ctx, int64_t personId, ChangeObserver* changes,
                             const StoredPeople& stored, std::unordered_set<int64_t>& rewritten)
    : ctx_(ctx), stored_(stored), id_(personId), changes_(changes) {
  replacing_ = db::dialectOf(ctx.conn).wholeRows().inlineValues || !rewritten.insert(personId).second;
  for (const HistoryTable& h : kHistoryTables) {
    if (ctx.columns.*h.title == 0) continue;
    StoredTable& t = tables_.emplace_back();
    t.table = h.table;
    t.written = &h.written;
    const StoredPeople::Rows* rows = stored.history(h.table);
    if (!rows || !rows->readable) {
      replacing_ = true;
      continue;
    }
    t.names = &rows->names;
    t.idColumn = columnOf(rows->names, "id");
    if (const auto found = rows->byPerson.find(personId); found != rows->byPerson.end()) t.rows = found->second;
    t.matched.assign(t.rows.size(), false);
    if (t.idColumn < 0 && !t.rows.empty()) replacing_ = true;
  }
  if (!replacing_) return;
  // Every stored row of the tables the sheet gives goes; the sheet's come in their place.
  for (StoredTable& t : tables_) {
    t.rows.clear();
    t.matched.clear();
  }
}

void PersonRewrite::beforeWrite() {
  if (told_) return;
  told_ = true;
  if (changes_) changes_->personChanging(id_);
}

bool PersonRewrite::updatePerson(const db::Row& columns) {
  const db::Dialect& d = db::dialectOf(ctx_.conn);
  db::Row differing;
  const StoredPeople::Rows& people = stored_.people();
  const auto found = people.byPerson.find(id_);
  for (const auto& [name, value] : columns.columns()) {
    const int c = found != people.byPerson.end() ? columnOf(people.names, name) : -1;
    if (c < 0 || !sameStoredValue(found->second.front()[c], db::wholeNumberAsInteger(value)))
      differing.set(name, value);
  }
  if (replacing_) {
    beforeWrite();
    for (const StoredTable& t : tables_)
      if (!ctx_.conn.tryExecute(d.deletePersonRows(t.table, id_))) return false;
  }
  if (differing.columns().empty()) return true;
  beforeWrite();
  return ctx_.conn.tryExecute(d.updatePerson(id_, differing));
}

PersonRewrite::StoredTable* PersonRewrite::storedFor(const db::Statement& insert) {
  if (!insert.into) return nullptr;
  for (StoredTable& t : tables_)
    if (insert.into->table == t.table) return &t;
  return nullptr;
}

std::vector<bool> PersonRewrite::writeHistory(const std::vector<db::Statement>& inserts) {
  std::vector<bool> stored(inserts.size(), true);
  std::vector<db::Statement> sent;
  std::vector<std::size_t> sentAt;
  for (std::size_t i = 0; i < inserts.size(); ++i) {
    const db::Statement& s = inserts[i];
    StoredTable* t = storedFor(s);
    bool kept = false;
    for (std::size_t r = 0; t && !kept && r < t->rows.size(); ++r) {
      if (t->matched[r]) continue;
      // Equal in every column the import writes; one the insert leaves out is null.
      kept = std::all_of(t->written->begin(), t->written->end(), [&](const std::string& name) {
        const int c = columnOf(*t->names, name);
        const int b = columnOf(s.into->columns, name);
        const db::Value none;
        return c >= 0 && sameStoredValue(t->rows[r][c], b >= 0 ? s.binds[b] : none);
      });
      if (kept) t->matched[r] = true;
    }
    if (kept) continue;
    sent.push_back(s);
    sentAt.push_back(i);
  }
  if (sent.empty()) return stored;
  beforeWrite();
  const std::vector<bool> accepted = ctx_.conn.tryExecuteEach(sent);
  for (std::size_t k = 0; k < sent.size(); ++k) stored[sentAt[k]] = accepted[k];
  return stored;
}

std::vector<bool> writeHistoryRows(const StepContext& ctx, const std::vector<db::Statement>& inserts) {
  return ctx.rewrite ? ctx.rewrite->writeHistory(inserts) : ctx.conn.tryExecuteEach(inserts);
}

bool PersonRewrite::deleteUnmatched() {
  const db::Dialect& d = db::dialectOf(ctx_.conn);
  for (const StoredTable& t : tables_) {
    for (std::size_t r = 0; r < t.rows.size(); ++r) {
      if (t.matched[r]) continue;
      const auto* id = std::get_if<int64_t>(&t.rows[r][t.idColumn]);
      const auto* real = std::get_if<double>(&t.rows[r][t.idColumn]);
      beforeWrite();
      if (!ctx_.conn.tryExecute(d.deleteRowById(t.table, id ? *id : static_cast<int64_t>(real ? *real : 0))))
        return false;
    }
  }
  return true;
}

}  // namespace gz::imp
