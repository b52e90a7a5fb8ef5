#include "db/qt_connection.h"

#include <QDate>
#include <QDateTime>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlRecord>
#include <QSqlResult>
#include <atomic>
#include <type_traits>

#include "db/database_text.h"
#include "db/lock_timeout.h"
#include "db/native_calls.h"
#include "db/sql_state.h"
#include "db/sql_values.h"
#include "text/bytes.h"
#include "text/gb18030.h"

namespace gz::db {

namespace {

std::string utf8(const QString& s) { return s.toStdString(); }

// The driver's text as one line: servers and drivers break theirs into
// several, indented ones.
std::string driverText(const QSqlError& e) {
  QString t = e.text().simplified();
  if (t.isEmpty()) t = QStringLiteral("(没有错误说明)");
  return utf8(t);
}

QVariant toVariant(const Value& v) {
  return std::visit(
      [](const auto& x) -> QVariant {
        using T = std::decay_t<decltype(x)>;
        if constexpr (std::is_same_v<T, std::monostate>) return QVariant();
        else if constexpr (std::is_same_v<T, int64_t>) return QVariant(qlonglong(x));
        else if constexpr (std::is_same_v<T, double>) return QVariant(x);
        else if constexpr (std::is_same_v<T, std::string>) return databaseQString(x);
        else if constexpr (std::is_same_v<T, Blob>)
          return QByteArray(x.bytes.data(), static_cast<qsizetype>(x.bytes.size()));
        else return QDate(x.year, x.month, x.day);
      },
      v);
}

class QtResultSet final : public ResultSet {
 public:
  QtResultSet(QSqlQuery q, std::string context) : q_(std::move(q)), context_(std::move(context)) {
    record_ = q_.record();
  }
  bool next() override { return q_.next(); }
  int64_t integer(const char* column) const override {
    const QVariant v = field(column);
    if (v.isNull()) return 0;
    if (v.typeId() == QMetaType::Double) return static_cast<int64_t>(v.toDouble());
    return v.toLongLong();
  }
  std::string text(const char* column) const override {
    const QVariant v = field(column);
    if (v.isNull()) return {};
    switch (v.typeId()) {
      case QMetaType::Double: return text::formatNumber(v.toDouble());
      case QMetaType::QDate: return utf8(v.toDate().toString(Qt::ISODate));
      case QMetaType::QDateTime: return utf8(v.toDateTime().date().toString(Qt::ISODate));
      default: return text::qStringToGb18030(v.toString());
    }
  }
  Value value(const char* column) const override { return valueAt(index(column)); }
  Value valueAt(int i) const override {
    const QVariant v = q_.value(i);
    if (v.isNull()) return std::monostate{};
    switch (v.typeId()) {
      case QMetaType::Bool:
      case QMetaType::Int:
      case QMetaType::UInt:
      case QMetaType::LongLong:
      case QMetaType::ULongLong: return int64_t(v.toLongLong());
      case QMetaType::Double: return v.toDouble();
      case QMetaType::QDate:
      case QMetaType::QDateTime: {
        const QDate d = v.typeId() == QMetaType::QDate ? v.toDate() : v.toDateTime().date();
        return Date{d.year(), d.month(), d.day()};
      }
      default: return text::qStringToGb18030(v.toString());
    }
  }
  std::vector<std::string> columnNames() const override {
    std::vector<std::string> names;
    for (int i = 0; i < record_.count(); ++i) names.push_back(record_.fieldName(i).toStdString());
    return names;
  }

 private:
  int index(const char* column) const {
    const int i = record_.indexOf(QString::fromLatin1(column));
    if (i < 0) throw DbError(DbFault::MissingColumn, context_ + ": 查询结果中没有列 " + column);
    return i;
  }
  QVariant field(const char* column) const { return q_.value(index(column)); }
  QSqlQuery q_;
  QSqlRecord record_;
  std::string context_;
};

}  // namespace

QString newConnectionName() {
  static std::atomic<int> counter{0};
  return QStringLiteral("gz_db_%1").arg(++counter);
}

QtConnection::QtConnection(const QString& connectionName, DialectKind dialect, NewIdReadback idReadback,
                           std::string description)
    : connectionName_(connectionName),
      db_(QSqlDatabase::database(connectionName, false)),
      dialect_(dialect),
      idReadback_(idReadback),
      description_(std::move(description)) {}

QtConnection::~QtConnection() {
  preparedByText_.clear();
  if (inTransaction_) db_.rollback();
  db_.close();
  db_ = QSqlDatabase();
  QSqlDatabase::removeDatabase(connectionName_);
}

DbFault QtConnection::faultOf(const QSqlError& e, const QSqlQuery* q) const {
  // A broken connection first: drivers report it under general codes, or
  // with a sentence alone, and Qt closes a connection it has seen break.
  const QVariant driver = db_.driver()->handle();
  if (!db_.isOpen() || odbcConnectionDead(driver)) return DbFault::ConnectionLost;
  const std::string state =
      q ? odbcSqlState(q->result()->handle(), OdbcHandle::Statement) : odbcSqlState(driver, OdbcHandle::Connection);
  if (!state.empty()) return faultFromSqlState(state);
  return e.type() == QSqlError::ConnectionError ? DbFault::ConnectionLost : DbFault::Refused;
}

void QtConnection::fail(const char* what, const QSqlError& e, DbFault fault, const Statement& s) const {
  throwDbError(fault, description_ + ": " + what + ": " + driverText(e),
               s.text.empty() ? std::string() : text::gb18030ToUtf8(renderStatement(s)));
}

void QtConnection::bindAll(QSqlQuery& q, const std::vector<Value>& binds) const {
  for (std::size_t i = 0; i < binds.size(); ++i) q.bindValue(static_cast<int>(i), toVariant(binds[i]));
}

QSqlQuery& QtConnection::prepared(const std::string& text, const Statement& forMessages) {
  auto it = preparedByText_.find(text);
  if (it != preparedByText_.end()) return *it->second;
  auto q = std::make_unique<QSqlQuery>(db_);
  if (!q->prepare(databaseQString(text)))
    fail("语句准备失败", q->lastError(), faultOf(q->lastError(), q.get()), forMessages);
  return *preparedByText_.emplace(text, std::move(q)).first->second;
}

void QtConnection::execute(const Statement& s) {
  if (s.binds.empty()) {
    QSqlQuery q(db_);
    if (!q.exec(databaseQString(s.text))) fail("语句执行失败", q.lastError(), faultOf(q.lastError(), &q), s);
    return;
  }
  QSqlQuery& q = prepared(s.text, s);
  bindAll(q, s.binds);
  const bool ok = q.exec();
  const QSqlError error = ok ? QSqlError() : q.lastError();
  const DbFault fault = ok ? DbFault::Refused : faultOf(error, &q);  // before finish() clears the diagnostics
  q.finish();  // releases the statement's hold on the database until the next use
  if (!ok) fail("语句执行失败", error, fault, s);
}

bool QtConnection::tryExecute(const Statement& s) {
  // On PostgreSQL a failed statement spoils the whole transaction unless it
  // runs under its own savepoint; SQLite and Access undo only the statement.
  return tryUnderSavepoint(s, inTransaction_ && dialect_ == DialectKind::Postgres);
}

std::unique_ptr<ResultSet> QtConnection::query(const Statement& s) {
  QSqlQuery q(db_);
  q.setForwardOnly(true);
  bool ok;
  if (s.binds.empty()) {
    ok = q.exec(databaseQString(s.text));
  } else {
    ok = q.prepare(databaseQString(s.text));
    if (ok) {
      bindAll(q, s.binds);
      ok = q.exec();
    }
  }
  if (!ok) fail("查询失败", q.lastError(), faultOf(q.lastError(), &q), s);
  return std::make_unique<QtResultSet>(std::move(q), description_);
}

int64_t QtConnection::insertReturningKey(std::string_view table, const Row& row, std::string_view keyColumn) {
  Statement s = rowInsert(table, row, description_);
  if (idReadback_ == NewIdReadback::Returning) s.text += " returning " + std::string(keyColumn);

  QSqlQuery& q = prepared(s.text, s);
  bindAll(q, s.binds);
  if (!q.exec()) {
    const QSqlError error = q.lastError();
    const DbFault fault = faultOf(error, &q);
    q.finish();
    fail("记录写入失败", error, fault, s);
  }
  const QVariant key = newKey(q);
  q.finish();
  bool ok = false;
  const int64_t newKey = key.toLongLong(&ok);
  if (!ok || newKey <= 0)
    throw DbError(DbFault::Unsupported,
                  description_ + ": 读不到新记录的 " + std::string(keyColumn) + ": 数据库没有返回自动编号",
                  text::gb18030ToUtf8(renderStatement(s)));
  return newKey;
}

QVariant QtConnection::newKey(QSqlQuery& insert) {
  switch (idReadback_) {
    case NewIdReadback::Returning:
      if (insert.next()) return insert.value(0);
      break;
    case NewIdReadback::Identity: {
      QSqlQuery identity(db_);
      if (identity.exec(QStringLiteral("select @@IDENTITY")) && identity.next()) return identity.value(0);
      break;
    }
  }
  return {};
}

void QtConnection::runPlain(const std::string& sql, const char* what) {
  QSqlQuery q(db_);
  if (!q.exec(QString::fromStdString(sql))) fail(what, q.lastError(), faultOf(q.lastError(), &q), Statement{sql, {}});
}

void QtConnection::begin() {
  if (!db_.transaction()) fail("无法开始事务", db_.lastError(), faultOf(db_.lastError(), nullptr), {});
  inTransaction_ = true;
}

void QtConnection::commit() {
  for (auto& [text, q] : preparedByText_) q->finish();
  if (!db_.commit()) fail("事务提交失败", db_.lastError(), faultOf(db_.lastError(), nullptr), {});
  inTransaction_ = false;
}

void QtConnection::rollback() {
  for (auto& [text, q] : preparedByText_) q->finish();
  inTransaction_ = false;
  if (!db_.rollback()) fail("事务回滚失败", db_.lastError(), faultOf(db_.lastError(), nullptr), {});
}

void QtConnection::savepoint(const char* name) {
  if (dialect_ == DialectKind::Jet) throw DbError(DbFault::Unsupported, description_ + ": Access 数据库不支持保存点");
  runPlain(std::string("savepoint ") + name, "无法设置保存点");
}

void QtConnection::releaseSavepoint(const char* name) {
  if (dialect_ == DialectKind::Jet) throw DbError(DbFault::Unsupported, description_ + ": Access 数据库不支持保存点");
  runPlain(std::string("release savepoint ") + name, "无法释放保存点");
}

void QtConnection::rollbackToSavepoint(const char* name) {
  if (dialect_ == DialectKind::Jet) throw DbError(DbFault::Unsupported, description_ + ": Access 数据库不支持保存点");
  runPlain(std::string("rollback to savepoint ") + name, "无法回滚到保存点");
}

void QtConnection::setBusyWait(const BusyWait& wait) {
  if (dialect_ == DialectKind::Postgres) execute(postgresLockTimeout(wait.limit));
}

}  // namespace gz::db
