#include "db/native_calls.h"

#include <QLibrary>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QVariant>
#include <cstdint>
#include <initializer_list>

namespace gz::db {

namespace {

constexpr short kSuccess = 0;             // SQL_SUCCESS
constexpr short kSuccessWithInfo = 1;     // SQL_SUCCESS_WITH_INFO
constexpr unsigned short kDbmsName = 17;  // SQL_DBMS_NAME
constexpr std::size_t kSqlStateSize = 5;  // SQL_SQLSTATE_SIZE
constexpr int32_t kConnectionDead = 1209;  // SQL_ATTR_CONNECTION_DEAD
constexpr uint32_t kDeadTrue = 1;          // SQL_CD_TRUE

// A function of the ODBC driver manager, resolved once.
QFunctionPointer managerFunction(const char* name) {
#ifdef Q_OS_WIN
  static QLibrary manager(QStringLiteral("odbc32"));
#else
  static QLibrary manager(QStringLiteral("odbc"), 2);
#endif
  return manager.resolve(name);
}

// The pointer inside a handle variant, when it is registered as one of `names`.
void* nativeHandle(const QVariant& handle, std::initializer_list<const char*> names) {
  if (!handle.isValid()) return nullptr;
  for (const char* name : names)
    if (qstrcmp(handle.typeName(), name) == 0) return *static_cast<void* const*>(handle.data());
  return nullptr;
}

void* odbcHandle(const QVariant& handle) { return nativeHandle(handle, {"SQLHANDLE", "void*"}); }

}  // namespace

QString odbcDbmsName(const QSqlDatabase& db) {
  void* hdbc = odbcHandle(db.driver()->handle());
  if (!hdbc) return {};
  using GetInfoW = short (*)(void*, unsigned short, void*, short, short*);
  auto getInfo = reinterpret_cast<GetInfoW>(managerFunction("SQLGetInfoW"));
  if (!getInfo) return {};
  char16_t buffer[256] = {};
  short length = 0;
  const short rc = getInfo(hdbc, kDbmsName, buffer, sizeof buffer - sizeof(char16_t), &length);
  if (rc != kSuccess && rc != kSuccessWithInfo) return {};
  return QString::fromUtf16(buffer, length / 2);
}

std::string odbcSqlState(const QVariant& handle, OdbcHandle kind) {
  void* h = odbcHandle(handle);
  if (!h) return {};
  using GetDiagRec = short (*)(short, void*, short, unsigned char*, int32_t*, unsigned char*, short, short*);
  auto getDiagRec = reinterpret_cast<GetDiagRec>(managerFunction("SQLGetDiagRec"));
  if (!getDiagRec) return {};
  unsigned char state[kSqlStateSize + 1] = {};
  int32_t nativeError = 0;
  unsigned char message[8] = {};  // only the state is wanted
  short length = 0;
  const short rc = getDiagRec(static_cast<short>(kind), h, 1, state, &nativeError, message, sizeof message, &length);
  if (rc != kSuccess && rc != kSuccessWithInfo) return {};
  return std::string(reinterpret_cast<const char*>(state), kSqlStateSize);
}

bool odbcConnectionDead(const QVariant& driverHandle) {
  void* hdbc = odbcHandle(driverHandle);
  if (!hdbc) return false;
  using GetConnectAttr = short (*)(void*, int32_t, void*, int32_t, int32_t*);
  auto getAttr = reinterpret_cast<GetConnectAttr>(managerFunction("SQLGetConnectAttr"));
  if (!getAttr) return false;
  uint32_t dead = 0;
  const short rc = getAttr(hdbc, kConnectionDead, &dead, 0, nullptr);
  return (rc == kSuccess || rc == kSuccessWithInfo) && dead == kDeadTrue;
}

}  // namespace gz::db
