// A Connection over one Qt SQL ODBC connection (Access, or PostgreSQL through its ODBC driver).
// Statements with bound values are prepared once per text and kept, so a long
// import prepares each statement shape a single time.
#pragma once

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

#include "db/connection.h"

namespace gz::db {

// How the key of a new row is read back.
enum class NewIdReadback {
  Returning,     // "returning <key>" on the insert (PostgreSQL)
  Identity,      // "select @@IDENTITY" after the insert (Access)
};

class QtConnection final : public Connection {
 public:
  // Takes over the open Qt connection `connectionName`; removes it when destroyed.
  QtConnection(const QString& connectionName, DialectKind dialect, NewIdReadback idReadback, std::string description);
  ~QtConnection() override;
  QtConnection(const QtConnection&) = delete;
  QtConnection& operator=(const QtConnection&) = delete;

  DialectKind dialectKind() const override { return dialect_; }
  std::string describe() const override { return description_; }
  void execute(const Statement& s) override;
  bool tryExecute(const Statement& s) override;
  std::unique_ptr<ResultSet> query(const Statement& s) override;
  int64_t insertReturningKey(std::string_view table, const Row& row, std::string_view keyColumn) override;
  // PostgreSQL waits on the server, up to the limit; `waiting` is not called,
  // since the statement holds this thread until the server answers. Access
  // waits as its driver is set up.
  void setBusyWait(const BusyWait& wait) override;

 private:
  void begin() override;
  void commit() override;
  void rollback() override;
  void savepoint(const char* name) override;
  void releaseSavepoint(const char* name) override;
  void rollbackToSavepoint(const char* name) override;

  // The key the insert just run on `insert` gave its row; null when none is told.
  QVariant newKey(QSqlQuery& insert);
  QSqlQuery& prepared(const std::string& text, const Statement& forMessages);
  void bindAll(QSqlQuery& q, const std::vector<Value>& binds) const;
  void runPlain(const std::string& sql, const char* what);
  // The kind of the failure `e` of a statement on `q`, or of the connection
  // itself when `q` is null.
  DbFault faultOf(const QSqlError& e, const QSqlQuery* q) const;
  [[noreturn]] void fail(const char* what, const QSqlError& e, DbFault fault, const Statement& s) const;

  QString connectionName_;
  QSqlDatabase db_;
  DialectKind dialect_;
  NewIdReadback idReadback_;
  std::string description_;
  std::unordered_map<std::string, std::unique_ptr<QSqlQuery>> preparedByText_;
  bool inTransaction_ = false;
};

// A unique Qt connection name for a new connection.
QString newConnectionName();

}  // namespace gz::db
