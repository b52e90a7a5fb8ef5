// A database in memory for the tree tests: each query returns the rows
// configured for its statement text.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "db/connection.h"
#include "db/payroll/dialect.h"

namespace gz::tree::fake {

using Row = std::map<std::string, db::Value>;

class FakeResultSet : public db::ResultSet {
 public:
  explicit FakeResultSet(std::vector<Row> rows) : rows_(std::move(rows)) {}
  bool next() override { return ++at_ < static_cast<long>(rows_.size()); }
  int64_t integer(const char* column) const override {
    const db::Value& v = at(column);
    if (auto i = std::get_if<int64_t>(&v)) return *i;
    if (auto d = std::get_if<double>(&v)) return static_cast<int64_t>(*d);
    return 0;
  }
  std::string text(const char* column) const override {
    const db::Value& v = at(column);
    if (auto s = std::get_if<std::string>(&v)) return *s;
    if (auto i = std::get_if<int64_t>(&v)) return std::to_string(*i);
    return {};
  }
  db::Value value(const char* column) const override { return at(column); }
  std::vector<std::string> columnNames() const override {
    std::vector<std::string> names;
    for (const auto& [name, v] : rows_.at(static_cast<std::size_t>(at_))) names.push_back(name);
    return names;
  }

 private:
  const db::Value& at(const char* column) const {
    const Row& row = rows_.at(static_cast<std::size_t>(at_));
    auto it = row.find(column);
    if (it == row.end()) throw db::DbError(std::string("no column ") + column);
    return it->second;
  }
  std::vector<Row> rows_;
  long at_ = -1;
};

class FakeDialect : public db::Dialect {
 public:
  db::DialectKind kind() const override { return db::DialectKind::Sqlite; }
  db::Statement countInstitutions() const override { return {"count", {}}; }
  db::Statement selectInstitutions() const override { return {"institutions", {}}; }
  db::Statement selectDepartmentPeople(std::string_view code) const override { return {"people", {std::string(code)}}; }
  std::vector<db::Statement> deleteDepartmentPeople(std::string_view) const override { return {}; }
  std::optional<db::Statement> insertEducation(int64_t, bool, std::string_view, std::string_view) const override {
    return std::nullopt;
  }
  std::optional<db::Statement> updateEducationYears(int64_t, int64_t, std::string_view) const override {
    return std::nullopt;
  }
  std::optional<db::Statement> insertPosition(int64_t, std::string_view, std::string_view) const override {
    return std::nullopt;
  }
  std::optional<db::Statement> insertAssessment(int64_t, int64_t, std::string_view) const override {
    return std::nullopt;
  }
  std::optional<bool> sameDate(std::string_view, std::string_view) const override { return std::nullopt; }
  std::optional<db::Statement> insertEducationWithYears(int64_t, bool, std::string_view, std::string_view,
                                                        int64_t) const override {
    return std::nullopt;
  }
  db::Statement selectDepartmentIdCards(std::string_view code) const override {
    return {"idcards", {std::string(code)}};
  }
  std::vector<db::Statement> selectRowsToDelete(std::string_view) const override { return {}; }
  std::optional<db::Statement> takeWriteLock() const override { return std::nullopt; }
  db::WholeRows wholeRows() const override { return {}; }
  db::Statement updatePerson(int64_t, const db::Row&) const override { return {"update", {}}; }
  db::Statement deletePersonRows(std::string_view, int64_t) const override { return {"delete", {}}; }
  db::Statement selectDepartmentRows(std::string_view, std::string_view) const override { return {"rows", {}}; }
  db::Statement deleteRowById(std::string_view, int64_t) const override { return {"delete row", {}}; }
  db::Statement selectExportPeople(std::string_view, bool, int64_t, int) const override { return {"export", {}}; }
  db::Statement selectExportHistory(std::string_view, std::string_view, bool, int64_t, int64_t) const override {
    return {"export history", {}};
  }
};

class FakeConnection : public db::Connection, public db::DialectSource {
 public:
  // Rows for the statement whose text is `statement`.
  std::map<std::string, std::vector<Row>> results;
  std::vector<db::Statement> queries;  // every query, in order

  void setCount(int64_t n) { results["count"] = {Row{{"cnt", n}}}; }

  const db::Dialect& dialect() const override { return dialect_; }
  db::DialectKind dialectKind() const override { return dialect_.kind(); }
  std::string describe() const override { return "fake database"; }
  void execute(const db::Statement&) override {}
  bool tryExecute(const db::Statement&) override { return true; }
  std::unique_ptr<db::ResultSet> query(const db::Statement& s) override {
    queries.push_back(s);
    auto it = results.find(s.text);
    if (it == results.end()) throw db::DbError("no such table", s.text);
    return std::make_unique<FakeResultSet>(it->second);
  }
  int64_t insertReturningKey(std::string_view, const db::Row&, std::string_view) override { return 0; }
  void setBusyWait(const db::BusyWait&) override {}

 private:
  void begin() override {}
  void commit() override {}
  void rollback() override {}
  void savepoint(const char*) override {}
  void releaseSavepoint(const char*) override {}
  void rollbackToSavepoint(const char*) override {}

  FakeDialect dialect_;
};

// A dm_jg row; the id follows the code so tests can tell records apart.
inline Row institutionRow(int64_t id, const std::string& jgdm, const std::string& jgmc = "name") {
  return Row{{"id", id},     {"upid", int64_t{0}}, {"px", int64_t{0}},
             {"jgdm", jgdm}, {"jgmc", jgmc},       {"jgjb", std::string("1")}};
}

}  // namespace gz::tree::fake
