// Recognising what a --db value names and opening it with the right driver
// and dialect.
#include "db/open_database.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>

#include "db/native_calls.h"
#include "db/pg_connection.h"
#include "db/qt_connection.h"
#include "db/sqlite_connection.h"

namespace gz::db {

namespace {

const char kAccessPassword[] = "Qm7pLx2RvT9kWz4N";

std::string utf8(const QString& s) { return s.toStdString(); }

bool startsWith(const std::string& s, const char* prefix) { return s.rfind(prefix, 0) == 0; }

// Closes and forgets a Qt connection that could not be taken into service.
void dropConnection(const QString& name) {
  {
    QSqlDatabase::database(name, false).close();
  }
  QSqlDatabase::removeDatabase(name);
}

void requireDriver(const char* driver, const std::string& forWhat) {
  if (!QSqlDatabase::isDriverAvailable(QString::fromLatin1(driver)))
    throw DbError(DbFault::CannotConnect, "缺少 Qt 数据库驱动 " + std::string(driver) + ", 无法打开" + forWhat);
}

// The connection string without its password, for messages.
std::string withoutPassword(const std::string& connectionString) {
  QString s = QString::fromStdString(connectionString);
  s.replace(QRegularExpression(QStringLiteral("(PWD|Password)=[^;]*"), QRegularExpression::CaseInsensitiveOption),
            QStringLiteral("\\1=***"));
  return utf8(s);
}

enum class FileKind { Missing, NotAFile, Sqlite, Jet, Other };

FileKind recogniseFile(const QString& path) {
  const QFileInfo info(path);
  if (!info.exists()) return FileKind::Missing;
  if (!info.isFile()) return FileKind::NotAFile;
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return FileKind::Other;
  // SQLite files begin with their 16-byte format text; Jet and ACE files
  // name their engine in the 15 bytes from the fifth on.
  constexpr int kSqliteMagicBytes = 16, kEngineAt = 4, kEngineBytes = 15;
  const QByteArray head = f.read(kEngineAt + kEngineBytes + 1);
  if (head.startsWith(QByteArray("SQLite format 3\0", kSqliteMagicBytes))) return FileKind::Sqlite;
  const QByteArray engine = head.mid(kEngineAt, kEngineBytes);
  if (engine == "Standard Jet DB" || engine == "Standard ACE DB") return FileKind::Jet;
  return FileKind::Other;
}

std::unique_ptr<Connection> openSqlite(const QString& path, bool create) {
  return std::make_unique<SqliteConnection>(QDir::toNativeSeparators(path).toStdString(), create);
}

std::unique_ptr<Connection> openOdbc(const std::string& connectionString, const std::string& description,
                                     bool accessFile) {
  requireDriver("QODBC", description);
  const QString name = newConnectionName();
  QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), name);
  db.setDatabaseName(QString::fromStdString(connectionString));
  if (!db.open()) {
    const QSqlError error = db.lastError();
    db = QSqlDatabase();
    dropConnection(name);
    const std::string why = utf8(error.text());
    // Driver managers say "IM002" (Windows) or "Can't open lib" (unixODBC)
    // when the named driver is not installed.
    const QString all = error.nativeErrorCode() + QLatin1Char(' ') + error.text();
    if (accessFile && (all.contains(QStringLiteral("IM002")) || all.contains(QStringLiteral("Can't open lib"))))
      throw DbError(DbFault::CannotConnect,
                    "打开 Jet 格式的 .mdb 文件需要 Access ODBC 驱动, 本机没有这个驱动: " + description);
    throw DbError(DbFault::CannotConnect, "无法打开 " + description + ": " + why);
  }
  QString dbms = odbcDbmsName(db);
  if (dbms.isEmpty() && db.driver()->dbmsType() == QSqlDriver::PostgreSQL) dbms = QStringLiteral("PostgreSQL");
  DialectKind kind;
  NewIdReadback readback;
  if (dbms.contains(QStringLiteral("PostgreSQL"), Qt::CaseInsensitive)) {
    kind = DialectKind::Postgres;
    readback = NewIdReadback::Returning;
  } else if (dbms.contains(QStringLiteral("ACCESS"), Qt::CaseInsensitive)) {
    kind = DialectKind::Jet;
    readback = NewIdReadback::Identity;
  } else {
    db = QSqlDatabase();
    dropConnection(name);
    throw DbError(DbFault::Unsupported,
                  "不支持的 ODBC 数据库 (" + (dbms.isEmpty() ? std::string("未知") : utf8(dbms)) + "): " + description);
  }
  db = QSqlDatabase();
  return std::make_unique<QtConnection>(name, kind, readback, description + " (" + utf8(dbms) + ")");
}

}  // namespace

const char* accessDatabasePassword() { return kAccessPassword; }

std::string accessConnectionString(const std::string& path) {
  const std::string absolute = utf8(QFileInfo(QString::fromStdString(path)).absoluteFilePath());
  return "Driver={Microsoft Access Driver (*.mdb, *.accdb)};DBQ=" + absolute + ";PWD=" + kAccessPassword +
         ";Exclusive=0;";
}

std::unique_ptr<Connection> openDatabase(const std::string& target) {
  if (startsWith(target, "postgresql://") || startsWith(target, "postgres://"))
    return std::make_unique<PgConnection>(target);
  if (startsWith(target, "odbc:")) {
    const std::string connectionString = target.substr(5);
    return openOdbc(connectionString, "ODBC 数据源 " + withoutPassword(connectionString), false);
  }
  const QString path = QString::fromStdString(target);
  switch (recogniseFile(path)) {
    case FileKind::Missing: throw DbError(DbFault::NotFound, "数据库文件不存在: " + target);
    case FileKind::NotAFile:
    case FileKind::Other: throw DbError(DbFault::NotADatabase, "不是数据库文件: " + target);
    case FileKind::Sqlite: return openSqlite(path, false);
    case FileKind::Jet:
#ifdef _WIN32
      return openOdbc(accessConnectionString(target), "Access 数据库 " + target, true);
#else
      // Here an Access file can only be read: its tables are brought over first.
      throw DbError(DbFault::Unsupported,
                    "Access 数据库 " + target +
                        " 在本机不能写入; 请先把它迁移到 SQLite 或 PostgreSQL: gzimport migrate " + target +
                        " --to gzgl.db, 再用 --db gzgl.db");
#endif
  }
  throw DbError(DbFault::NotADatabase, "不是数据库文件: " + target);
}

std::unique_ptr<Connection> createSqliteDatabase(const std::string& path) {
  const QString p = QString::fromStdString(path);
  if (QFileInfo::exists(p)) throw DbError(DbFault::Exists, "文件已存在, 不会覆盖: " + path);
  return openSqlite(p, true);
}

}  // namespace gz::db
