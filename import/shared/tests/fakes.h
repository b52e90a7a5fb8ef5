// Test doubles for the import: a workbook over a sheet filled in the test, a
// connection that models transactions and savepoints over a list of writes,
// a dialect that renders statements as readable texts, and a front end that
// records everything it is told.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "db/connection.h"
#include "db/payroll/dialect.h"
#include "db/payroll/person_columns.h"
#include "import/shared/frontend.h"
#include "import/shared/outcome.h"
#include "import/shared/run_texts.h"
#include "sheet/model/sheet_data.h"
#include "sheet/model/workbook.h"
#include "text/gb18030.h"

namespace gz::imp::testing {

// GB 18030 bytes of a UTF-8 literal, and back.
inline std::string G(std::string_view utf8) { return text::utf8ToGb18030(utf8); }
inline std::string U(std::string_view gbk) { return text::gb18030ToUtf8(gbk); }

// A cell of a test sheet: text (UTF-8 in the test, stored as GB 18030), a
// number, a date-formatted number, an error value, or text the file held
// malformed (stored with the unreadable mark).
struct Cell {
  enum Kind { Empty, Text, Number, Date, Error, Boolean, UnreadableText } kind = Empty;
  std::string text;
  double number = 0;
  Cell() = default;
  Cell(const char* utf8) : kind(*utf8 ? Text : Empty), text(utf8) {}
  Cell(std::string utf8) : kind(utf8.empty() ? Empty : Text), text(std::move(utf8)) {}
  static Cell num(double v) {
    Cell c;
    c.kind = Number;
    c.number = v;
    return c;
  }
  static Cell date(double serial) {
    Cell c;
    c.kind = Date;
    c.number = serial;
    return c;
  }
  static Cell error(uint8_t code) {
    Cell c;
    c.kind = Error;
    c.number = code;
    return c;
  }
  static Cell boolean(bool v) {
    Cell c;
    c.kind = Boolean;
    c.number = v;
    return c;
  }
  static Cell unreadable(std::string utf8) {
    Cell c(std::move(utf8));
    c.kind = UnreadableText;
    return c;
  }
};

// A workbook whose sheet holds `rows`; rows[0] is sheet row 1 (the titles).
std::unique_ptr<sheet::Workbook> fakeWorkbook(const std::vector<std::vector<Cell>>& rows);

// Renders the statements the way the Access database receives them, so the
// tests read like the statements sent. It reports itself as PostgreSQL by
// default, the backend that needs a savepoint per row. Like the real dialects it refuses
// (nullopt) a date whose year is not digits and an assessment code that is
// not a number.
class FakeDialect : public db::Dialect {
 public:
  db::DialectKind kind() const override { return kindValue; }
  db::DialectKind kindValue = db::DialectKind::Postgres;
  db::Statement countInstitutions() const override { return {"count", {}}; }
  db::Statement selectInstitutions() const override { return {"institutions", {}}; }
  db::Statement selectDepartmentPeople(std::string_view code) const override {
    return {"people " + std::string(code), {}};
  }
  db::Statement selectDepartmentIdCards(std::string_view code) const override {
    return {"idcards " + std::string(code), {}};
  }
  std::vector<db::Statement> deleteDepartmentPeople(std::string_view code) const override;
  std::optional<db::Statement> insertEducation(int64_t id, bool fullTime, std::string_view date,
                                               std::string_view code) const override;
  std::optional<db::Statement> updateEducationYears(int64_t years, int64_t id, std::string_view date) const override;
  std::optional<db::Statement> insertPosition(int64_t id, std::string_view date, std::string_view code) const override;
  std::optional<db::Statement> insertAssessment(int64_t id, int64_t year, std::string_view code) const override;
  // As Access: digit dates compare as days, any other text only in the database.
  std::optional<bool> sameDate(std::string_view a, std::string_view b) const override;
  std::optional<db::Statement> insertEducationWithYears(int64_t id, bool fullTime, std::string_view date,
                                                        std::string_view code, int64_t years) const override;
  std::vector<db::Statement> selectRowsToDelete(std::string_view) const override { return {}; }
  std::optional<db::Statement> takeWriteLock() const override { return std::nullopt; }
  db::WholeRows wholeRows() const override { return {}; }
  db::Statement updatePerson(int64_t id, const db::Row& columns) const override;
  db::Statement deletePersonRows(std::string_view table, int64_t id) const override {
    return {"delete " + std::string(table) + " " + std::to_string(id), {}};
  }
  db::Statement selectDepartmentRows(std::string_view table, std::string_view code) const override {
    return {"rows " + std::string(table) + " " + std::string(code), {}};
  }
  db::Statement deleteRowById(std::string_view table, int64_t id) const override {
    return {"delete row " + std::string(table) + " " + std::to_string(id), {}};
  }
  db::Statement selectExportPeople(std::string_view, bool, int64_t, int) const override { return {"export", {}}; }
  db::Statement selectExportHistory(std::string_view, std::string_view, bool, int64_t, int64_t) const override {
    return {"export history", {}};
  }
};

// Writes are kept as UTF-8 lines ("person <xm>", or the statement text) in a
// pending list that commit moves to `committed`; savepoints and rollbacks cut
// the pending list back, as a database would.
class FakeConnection : public db::Connection, public db::DialectSource {
 public:
  const db::Dialect& dialect() const override { return dialect_; }
  db::DialectKind dialectKind() const override { return dialect_.kind(); }
  FakeDialect& fakeDialect() { return dialect_; }
  std::string describe() const override { return "fake database"; }
  void execute(const db::Statement& s) override;
  bool tryExecute(const db::Statement& s) override;
  // The id card query answers with `storedIdCards`; any other query with one
  // row in which each column reads as `queryAnswer`. Every query is kept in `queries`.
  std::unique_ptr<db::ResultSet> query(const db::Statement& s) override;
  // Stores a person (the fake knows no other table) under the operation "insertPerson".
  int64_t insertReturningKey(std::string_view table, const db::Row& r, std::string_view keyColumn) override;
  void begin() override;
  void commit() override;
  void rollback() override;
  void savepoint(const char* name) override;
  void releaseSavepoint(const char* name) override;
  void rollbackToSavepoint(const char* name) override;
  void setBusyWait(const db::BusyWait& wait) override { busyWait = wait; }

  // Statements whose UTF-8 text contains this are refused.
  std::string refuseContaining;
  // A person record whose xm (UTF-8) equals this is refused.
  std::string refusePersonNamed;
  // Called before each operation named in `log` is done; may throw db::DbError.
  std::function<void(const std::string& op)> beforeOp;

  std::vector<std::string> committed;    // writes that reached the database
  std::vector<std::string> pending;      // writes of the open transaction
  std::vector<db::PersonRecord> persons; // every record insertPerson stored (committed or not)
  std::vector<std::string> log;          // begin, commit, savepoint, ... in order
  std::vector<std::string> queries;      // texts of the queries, in order
  std::vector<std::pair<std::string, std::string>> storedIdCards;  // (xm, sfzh) in UTF-8
  int64_t nextId = 57;
  int64_t queryAnswer = 1;
  std::vector<std::string> settings; // "set ..." statements: the session's settings, not writes
  db::BusyWait busyWait;             // as the run last set it
  bool inTransaction = false;

  std::vector<std::string> allWrites() const;  // committed, then pending

 private:
  void op(const std::string& name);
  void write(const db::Statement& s);
  FakeDialect dialect_;
  std::vector<std::size_t> savepoints_;
};

// A front end that presents what the run tells it the way the window does,
// as one line per pane line, status text and box ("import: ...",
// "error: ...", "status1: ...", "box: <text> / <caption>", in UTF-8), and
// keeps the row and run outcomes as they came.
class RecordingFrontend : public Frontend {
 public:
  void workbookNotice(std::string_view gbk) override { importLine(gbk); }
  void deletingDepartment() override;
  void titleUnreadable(int32_t column) override;
  void layoutAccepted() override;
  void datesReadAsTyped(const TypedDateCounter& counted) override;
  void rowStarted(int32_t, std::string_view personName) override { importLine(personName); }
  void lineWithoutCode(HistoryKind kind, std::string_view personName, std::string_view name) override;
  void rowDone(const RowOutcome& row) override;
  void progress(int done, int total) override { progressCalls.emplace_back(done, total); }
  void runEnded(const ImportOutcome& outcome) override;
  void processEvents() override {
    ++eventRounds;
    if (onEvents) onEvents();
  }
  void clearAbort() override { abort = false; }
  bool abortRequested() override { return abort; }
  // Recorded as "duplicates: <row> <name> <id>, ..."; answered with `duplicateAnswer`.
  DuplicateAnswer duplicatesFound(const std::vector<DuplicateRow>& rows) override;
  DuplicateAnswer duplicateAnswer = DuplicateAnswer::Cancel;
  // Recorded as import lines after "found:"; answered with `takeFoundTitles`.
  bool titlesFound(const FoundHeader& header) override;
  bool takeFoundTitles = false;
  void dataEndedAt(int32_t row, std::string_view nameGbk) override { importLine(dataEndedLine(row, nameGbk)); }
  // Recorded as "other sheet: <number> <name>"; answered with `takeOtherSheet`.
  bool otherSheetHasTitles(const OtherSheet& sheet) override {
    events.push_back("other sheet: " + std::to_string(sheet.number) + " " + U(sheet.name));
    return takeOtherSheet;
  }
  bool takeOtherSheet = false;
  void hiddenRowsRead(const std::vector<int32_t>& rows) override { importLine(hiddenRowsLine(rows)); }
  void waiting(WaitCause cause) override;

  // The events of one kind ("import", "error", "status1", "box"), texts only.
  std::vector<std::string> only(const std::string& kind) const;

  std::vector<std::string> events;
  std::vector<std::string> errorLinesGbk;
  std::vector<std::pair<int, int>> progressCalls;
  std::vector<RowOutcome> rows;
  std::vector<ImportOutcome> ends;
  std::function<void()> onEvents;
  int eventRounds = 0;
  bool abort = false;

 private:
  void importLine(std::string_view gbk) { events.push_back("import: " + U(gbk)); }
  void errorLine(const std::string& gbk);
  void runState(std::string_view gbk) { events.push_back("status1: " + U(gbk)); }
  void box(std::string_view gbk, std::string_view captionGbk) {
    events.push_back("box: " + U(gbk) + " / " + U(captionGbk));
  }
};

// The value of a column in a person record, if it was set.
std::optional<db::Value> column(const db::PersonRecord& r, const std::string& name);

}  // namespace gz::imp::testing
