#include "db/payroll/schema.h"

#include "db/payroll/person_columns.h"
#include "db/sql_values.h"

namespace gz::db {

namespace {

std::string joined(const std::vector<const char*>& names) {
  std::string out;
  for (const char* n : names) out += (out.empty() ? "" : ",") + std::string(n);
  return out;
}

// False when the database refuses to read the columns; any other failure
// (a lost connection, a busy database) is no answer about the schema and is
// thrown on.
bool canSelect(Connection& c, const std::string& columns, const std::string& table) {
  try {
    c.query({"select " + columns + " from " + table + " where 1=0", {}});
    return true;
  } catch (const DbError& e) {
    switch (e.fault()) {
      case DbFault::MissingTable:
      case DbFault::MissingColumn:
      case DbFault::Refused: return false;
      default: throw;
    }
  }
}

}  // namespace

const std::vector<TableColumns>& requiredSchema() {
  static const std::vector<TableColumns> tables = {
      {"dm_jg", {"id", "upid", "px", "jgdm", "jgmc", "jgjb"}},
      {"ryjbxx",
       {"id", "bm", "xm", "bh", "sfzh", "grsf", "xb", "mz", "csny", "gzsj", "jkzk", "jxqyf", "kjgl", "kjtgnf",
        "dzysxl"}},
      {"ryxl", {"mid", "xxxs", "xlrq", "xldm", "dzysxl"}},
      {"ryrz", {"mid", "rzrq", "rzzwdm", "gzzwdm"}},
      {"rykh", {"mid", "khnd", "khjg"}},
      {"rybdrz", {"mid"}},
      {"ryjl", {"mid"}},
      {"ryjc", {"mid"}},
      {"rygzbhb", {"mid"}},
  };
  return tables;
}

void createSchema(Connection& c) {
  const DialectKind kind = c.dialectKind();
  if (kind == DialectKind::Jet)
    throw DbError(DbFault::Unsupported, c.describe() + ": 只能在 SQLite 或 PostgreSQL 数据库中建表");
  // SQLite's autoincrement, like an Access auto-number, never hands out the
  // id of a deleted person again.
  const std::string id =
      kind == DialectKind::Postgres ? "id serial primary key" : "id integer primary key autoincrement";
  const std::vector<std::string> statements = {
      "create table dm_jg (" + id +
          ", upid integer, px integer, jgdm varchar(40), jgmc varchar(100), "
          "jgjb varchar(20))",
      "create table ryjbxx (" + id +
          ", bm varchar(40), xm varchar(40), bh varchar(20), sfzh varchar(30), "
          "grsf varchar(40), xb varchar(10), mz varchar(10), csny date, gzsj date, jkzk varchar(10), "
          "jxqyf integer, kjgl integer, kjtgnf integer, dzysxl integer)",
      "create index ryjbxx_bm on ryjbxx (bm)",
      "create table ryxl (" + id +
          ", mid integer default 0, xxxs varchar(20), xlrq date, xldm varchar(20), "
          "dzysxl integer)",
      "create table ryrz (" + id +
          ", mid integer default 0, rzrq date, rzzwdm varchar(20), "
          "gzzwdm varchar(20))",
      "create table rykh (" + id + ", mid integer default 0, khnd integer, khjg numeric)",
      "create table rybdrz (" + id + ", mid integer default 0)",
      "create table ryjl (" + id + ", mid integer default 0)",
      "create table ryjc (" + id + ", mid integer default 0)",
      "create table rygzbhb (" + id + ", mid integer default 0)",
  };
  Transaction t(c);
  for (const std::string& s : statements) c.execute({s, {}});
  for (const char* table : person::kPerPersonTables)
    c.execute({"create index " + std::string(table) + "_mid on " + table + " (mid)", {}});
  t.commit();
}

namespace {
std::vector<TableColumns> schemaFor(SchemaUse use) {
  const std::vector<TableColumns>& all = requiredSchema();
  switch (use) {
    case SchemaUse::Tree: return {all[0]};
    case SchemaUse::PersonnelView:
      return {all[0], {"ryjbxx", {"bm", "bh", "xm", "sfzh", "grsf", "xb", "mz", "csny", "jkzk", "gzsj"}}};
    case SchemaUse::Import: break;
  }
  return all;
}
}  // namespace

std::vector<std::string> missingSchemaItems(Connection& c, SchemaUse use) {
  std::vector<std::string> missing;
  for (const TableColumns& t : schemaFor(use)) {
    if (canSelect(c, joined(t.columns), t.table)) continue;
    if (!canSelect(c, "*", t.table)) {
      missing.push_back(std::string("表 ") + t.table);
      continue;
    }
    for (const char* column : t.columns)
      if (!canSelect(c, column, t.table)) missing.push_back(std::string(t.table) + "." + column);
  }
  return missing;
}

void requireSchema(Connection& c, SchemaUse use) {
  const std::vector<std::string> missing = missingSchemaItems(c, use);
  if (missing.empty()) return;
  std::string list;
  bool tableMissing = false;
  for (const std::string& m : missing) {
    list += (list.empty() ? "" : ", ") + m;
    tableMissing = tableMissing || m.find('.') == std::string::npos;
  }
  throw DbError(tableMissing ? DbFault::MissingTable : DbFault::MissingColumn,
                c.describe() + " 缺少所需的表或列: " + list);
}

}  // namespace gz::db
