#include "journal/rows.h"

#include <algorithm>
#include <variant>

#include "db/payroll/dialect.h"
#include "db/payroll/person_columns.h"
#include "db/row_digest.h"
#include "db/statement.h"
#include "journal/journal_error.h"
#include "journal/packed_keys.h"
#include "journal/row_digest.h"
#include "journal/row_text.h"

namespace gz::journal {

namespace {

// Ids per query, so that no statement grows past what a server takes.
constexpr std::size_t kIdsPerQuery = 500;
constexpr const char* kKey = "id";

const db::Value* find(const db::Row& row, const std::string& column) {
  for (const auto& [name, v] : row.columns())
    if (name == column) return &v;
  return nullptr;
}

void readInto(db::Connection& conn, const std::string& table, const std::string& column,
              const std::vector<int64_t>& ids, std::vector<TableRow>& out) {
  const db::WholeRows how = db::dialectOf(conn).wholeRows();
  for (std::size_t at = 0; at < ids.size(); at += kIdsPerQuery) {
    const std::vector<int64_t> part(ids.begin() + at, ids.begin() + std::min(ids.size(), at + kIdsPerQuery));
    for (db::Row& r : readRows(conn, how.selectIn(table, column, part))) out.push_back({table, std::move(r)});
  }
}

int columnAt(const std::vector<std::string>& columns, std::string_view name) {
  const auto it = std::find(columns.begin(), columns.end(), name);
  if (it == columns.end()) throw db::DbError(db::DbFault::MissingColumn, "查询结果中没有列 " + std::string(name));
  return static_cast<int>(it - columns.begin());
}

bool owned(const Owners& owners, const db::Value& v) {
  int64_t id = 0;
  if (const int64_t* i = std::get_if<int64_t>(&v)) id = *i;
  else if (const double* d = std::get_if<double>(&v)) id = static_cast<int64_t>(*d);
  else return false;
  return std::binary_search(owners.ids.begin(), owners.ids.end(), id);
}

void appendValues(std::string& out, const db::Row& row) {
  for (const auto& [name, v] : row.columns()) appendValueText(out, v);
  out += '\n';
}

void addRow(RowGroup& group, const Entry& entry) {
  if (entry.change != Change::Insert) appendValues(group.before, entry.before);
  if (entry.change != Change::Delete) appendValues(group.after, entry.after);
  ++group.rows;
}

// Inserted rows kept as their key and digest: each comes back as an entry
// whose image after is its key alone.
std::vector<Entry> keyedEntriesOf(const RowGroup& group) {
  std::vector<KeyDigest> rows = group.packed ? keyDigestsFromPacked(group.after) : keyDigestsFromText(group.after);
  if (group.change != Change::Insert || rows.size() != static_cast<std::size_t>(group.rows))
    throw JournalError(JournalFault::Damaged, "日志中一组行的行数不符: 表 " + group.table);
  std::vector<Entry> out;
  out.reserve(rows.size());
  for (KeyDigest& r : rows) {
    Entry& e = out.emplace_back(Entry{group.table, Change::Insert, {}, {}, r.digest});
    e.after.set(kKey, std::move(r.key));
  }
  return out;
}

// The row's key and the digest of all its values.
KeyDigest keyAndDigest(const db::ResultSet& rs, int columns, int keyAt) {
  KeyDigest out;
  db::RowDigest digest;
  for (int i = 0; i < columns; ++i) {
    db::Value v = rs.valueAt(i);
    digest.add(v);
    if (i == keyAt) out.key = std::move(v);
  }
  out.digest = digest.value();
  return out;
}

// A row kept as its key and digest in a text line (row_text.h).
void appendKeyDigestLine(std::string& text, const KeyDigest& row) {
  appendValueText(text, row.key);
  appendDigestText(text, row.digest);
  text += '\n';
}

}  // namespace

void readGroups(db::Connection& conn, const db::Statement& query, const std::string& table, Change change,
                const GroupSink& closed, const std::optional<Owners>& owners, bool digests) {
  const auto rs = conn.query(query);
  std::vector<std::string> columns;
  int ownerAt = -1;
  int keyAt = -1;  // where rows are kept as their key and digest
  RowGroup group{table, change, {}, {}, {}, 0};
  std::string& images = change == Change::Insert ? group.after : group.before;
  PackedKeys packed;
  const auto close = [&] {
    packed.moveInto(images);
    packed.restart();
    group.columns = columns;
    group.digests = keyAt >= 0;
    closed(std::move(group));
    group = RowGroup{table, change, {}, {}, {}, 0};
  };
  while (rs->next()) {
    if (columns.empty()) {
      columns = rs->columnNames();
      if (owners) ownerAt = columnAt(columns, owners->column);
      const auto key = std::find(columns.begin(), columns.end(), kKey);
      if (digests && change == Change::Insert && key != columns.end()) keyAt = static_cast<int>(key - columns.begin());
    }
    if (owners && !owned(*owners, rs->valueAt(ownerAt))) continue;
    if (keyAt >= 0) {
      const KeyDigest row = keyAndDigest(*rs, static_cast<int>(columns.size()), keyAt);
      // A group's keys are packed where they are whole numbers, else text lines.
      const int64_t* whole = std::get_if<int64_t>(&row.key);
      if (group.rows != 0 && group.packed != (whole != nullptr)) close();
      group.packed = whole != nullptr;
      if (whole) packed.add(images, *whole, row.digest);
      else appendKeyDigestLine(images, row);
    } else {
      for (int i = 0; i < static_cast<int>(columns.size()); ++i) appendValueText(images, rs->valueAt(i));
      images += '\n';
    }
    ++group.rows;
    if (packed.size(images) >= kGroupBytes) close();
  }
  if (group.rows != 0) close();
}

namespace {

// Rows come in the order of their owners: the owner of the row before, or
// the next one, is tried before a search.
class OwnerCursor {
 public:
  explicit OwnerCursor(const std::vector<int64_t>& ids) : ids_(ids), at_(ids.begin()) {}
  bool holds(int64_t owner) {
    const auto end = ids_.end();
    if (at_ != end && *at_ == owner) return true;
    if (at_ != end && std::next(at_) != end && *std::next(at_) == owner) ++at_;
    else at_ = std::lower_bound(ids_.begin(), end, owner);
    return at_ != end && *at_ == owner;
  }

 private:
  const std::vector<int64_t>& ids_;
  std::vector<int64_t>::const_iterator at_;
};

}  // namespace

void capturedGroups(const std::string& table, const db::InsertCapture::Taken& captured, const Owners& owners,
                    const GroupSink& closed) {
  RowGroup group{table, Change::Insert, captured.columns, {}, {}, 0, true, true};
  // Room for the group's rows, so that its bytes seldom move while they grow.
  constexpr std::size_t kRowRoom = 18;
  const std::size_t room = std::min(kGroupBytes, captured.rows.size() * kRowRoom) + kRowRoom;
  group.after.reserve(room);
  OwnerCursor owner(owners.ids);
  PackedKeys keys;
  for (const db::CapturedRow& r : captured.rows) {
    if (!r.owner || !owner.holds(*r.owner)) continue;
    keys.add(group.after, r.key, r.digest);
    ++group.rows;
    if (keys.size(group.after) < kGroupBytes) continue;
    keys.moveInto(group.after);
    closed(std::move(group));
    group = RowGroup{table, Change::Insert, captured.columns, {}, {}, 0, true, true};
    group.after.reserve(room);
    keys.restart();
  }
  keys.moveInto(group.after);
  if (group.rows != 0) closed(std::move(group));
}

RowGroup groupOf(const Entry& entry) {
  RowGroup g{entry.table, entry.change, {}, {}, {}, 0};
  for (const auto& [name, v] : (entry.change == Change::Delete ? entry.before : entry.after).columns())
    g.columns.push_back(name);
  addRow(g, entry);
  return g;
}

void addEntry(std::vector<RowGroup>& groups, const Entry& entry) {
  if (!groups.empty()) {
    RowGroup& last = groups.back();
    const db::Row& image = entry.change == Change::Delete ? entry.before : entry.after;
    const bool sameColumns =
        std::equal(last.columns.begin(), last.columns.end(), image.columns().begin(), image.columns().end(),
                   [](const std::string& a, const auto& b) { return a == b.first; });
    if (last.table == entry.table && last.change == entry.change && sameColumns &&
        last.before.size() + last.after.size() < kGroupBytes)
      return addRow(last, entry);
  }
  groups.push_back(groupOf(entry));
}

std::vector<Entry> entriesOf(const RowGroup& group) {
  if (group.digests) return keyedEntriesOf(group);
  std::vector<db::Row> before = rowsFromValues(group.columns, group.before);
  std::vector<db::Row> after = rowsFromValues(group.columns, group.after);
  const auto rows = static_cast<std::size_t>(group.rows);
  if ((group.change != Change::Insert && before.size() != rows) ||
      (group.change != Change::Delete && after.size() != rows))
    throw JournalError(JournalFault::Damaged, "日志中一组行的行数不符: 表 " + group.table);
  std::vector<Entry> out;
  out.reserve(rows);
  for (std::size_t i = 0; i < rows; ++i)
    out.push_back({group.table, group.change, before.empty() ? db::Row{} : std::move(before[i]),
                   after.empty() ? db::Row{} : std::move(after[i])});
  return out;
}

std::vector<db::Row> readRows(db::Connection& conn, const db::Statement& query) {
  std::vector<db::Row> rows;
  const auto rs = conn.query(query);
  std::vector<std::string> names;
  while (rs->next()) {
    if (names.empty()) names = rs->columnNames();
    db::Row& row = rows.emplace_back();
    for (const std::string& name : names) row.set(name, rs->value(name.c_str()));
  }
  return rows;
}

std::vector<TableRow> readPeopleRows(db::Connection& conn, const std::vector<int64_t>& personIds) {
  std::vector<TableRow> out;
  if (personIds.empty()) return out;
  readInto(conn, db::person::kTable, kKey, personIds, out);
  for (const char* table : db::person::kPerPersonTables) readInto(conn, table, "mid", personIds, out);
  return out;
}

db::Row rowKey(const db::Row& row) {
  const db::Value* id = find(row, kKey);
  if (!id) return row;
  db::Row key;
  key.set(kKey, *id);
  return key;
}

std::string keyText(const db::Row& key) {
  std::string out;
  for (const auto& [name, v] : key.columns()) out += (out.empty() ? "" : ",") + name + "=" + db::literalText(v);
  return out;
}

std::optional<std::string> firstDifference(const db::Row& a, const db::Row& b) {
  const auto& ac = a.columns();
  const auto& bc = b.columns();
  // Two images of one table come with the same columns in the same order:
  // compared side by side, without looking each column up.
  if (ac.size() == bc.size()) {
    std::size_t i = 0;
    while (i < ac.size() && ac[i].first == bc[i].first && ac[i].second == bc[i].second) ++i;
    if (i == ac.size()) return std::nullopt;
    if (ac[i].first == bc[i].first &&
        std::equal(ac.begin() + static_cast<std::ptrdiff_t>(i), ac.end(), bc.begin() + static_cast<std::ptrdiff_t>(i),
                   [](const auto& x, const auto& y) { return x.first == y.first; }))
      return ac[i].first;
  }
  for (const auto& [name, v] : ac) {
    const db::Value* other = find(b, name);
    if (!other || !(*other == v)) return name;
  }
  for (const auto& [name, v] : bc)
    if (!find(a, name)) return name;
  return std::nullopt;
}

}  // namespace gz::journal
