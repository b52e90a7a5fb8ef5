// Statements: a text plus bound values, and the SQL flavours they are
// written in. The Jet (Access) flavour takes complete texts without binds;
// the SQLite and PostgreSQL flavours one fixed text per statement shape with
// "?" placeholders, so the connection can prepare each shape once.
// All texts and text values are GB 18030.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "db/value.h"

namespace gz::db {

// The table and columns of a plain insert of one row.
struct InsertInto {
  std::string table;
  std::vector<std::string> columns;
  bool operator==(const InsertInto&) const = default;
};

struct Statement {
  Statement() = default;
  Statement(std::string text, std::vector<Value> binds = {}, std::shared_ptr<const InsertInto> into = {})
      : text(std::move(text)), binds(std::move(binds)), into(std::move(into)) {}

  std::string text;
  std::vector<Value> binds;
  // Set on a plain insert of one row, whose binds are then the row's values
  // column by column: a batch loads such rows by table and columns.
  std::shared_ptr<const InsertInto> into;
};

// "insert into table (a,b) values (?,?)" with `values` bound, one per column.
Statement insertStatement(std::shared_ptr<const InsertInto> into, std::vector<Value> values);

// The insert of one row into a fixed table and columns, its text written
// once: a caller that stores many rows of one shape keeps it and pays only
// for the values of each row.
class InsertShape {
 public:
  InsertShape(std::string table, std::vector<std::string> columns);
  // The insert of one row: `values` bound, one per column.
  Statement statement(std::vector<Value> values) const { return {text_, std::move(values), into_}; }

 private:
  std::shared_ptr<const InsertInto> into_;
  std::string text_;
};

// The SQL flavour of a database.
enum class DialectKind { Jet, Sqlite, Postgres };

// A value as an SQL literal (GB 18030): numbers in plain decimal, texts quoted with
// every single quote doubled, dates as 'YYYY-MM-DD', null as null.
std::string literalText(const Value& v);
// The statement with each "?" replaced by its bound value's literal, for
// messages and for comparing statements in tests. Texts without binds are
// returned unchanged.
std::string renderStatement(const Statement& s);

}  // namespace gz::db
