#include "db/pg_connection.h"

#include <libpq-fe.h>

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <type_traits>

#include "db/database_text.h"
#include "db/lock_timeout.h"
#include "db/sql_state.h"
#include "db/sql_values.h"
#include "text/bytes.h"
#include "text/gb18030.h"

namespace gz::db {

namespace {

// PostgreSQL's type oids of the result columns read as numbers or dates.
constexpr Oid kBoolOid = 16, kInt8Oid = 20, kInt2Oid = 21, kInt4Oid = 23, kOidOid = 26;
constexpr Oid kFloat4Oid = 700, kFloat8Oid = 701, kNumericOid = 1700;
constexpr Oid kDateOid = 1082, kTimestampOid = 1114, kTimestampTzOid = 1184;
constexpr std::size_t kIsoDateChars = 10;  // YYYY-MM-DD at the start of a date or timestamp
constexpr int kDefaultPort = 5432;
// A statement in a message shows its values when it has no more than this
// many, and is cut to so many bytes.
constexpr std::size_t kMessageBinds = 50;
constexpr std::size_t kMessageStatementBytes = 300;

// libpq's messages end in a newline and may span lines; the operator gets one line.
std::string oneLine(const char* message) {
  std::string s = message ? message : "";
  for (char& c : s)
    if (c == '\n' || c == '\r' || c == '\t') c = ' ';
  std::string out = text::trim(s);
  return out.empty() ? std::string("(没有错误说明)") : out;
}

// "?" placeholders as PostgreSQL's $1, $2, ...; quoted texts and names are left alone.
std::string numberedPlaceholders(const std::string& sql) {
  std::string out;
  out.reserve(sql.size() + sql.size() / 4);
  char quote = 0;
  int n = 0;
  for (char c : sql) {
    if (quote) {
      if (c == quote) quote = 0;
      out += c;
    } else if (c == '\'' || c == '"') {
      quote = c;
      out += c;
    } else if (c == '?') {
      out += '$';
      out += std::to_string(++n);
    } else {
      out += c;
    }
  }
  return out;
}

// The bound values as libpq's text parameters (null for SQL null).
class Parameters {
 public:
  explicit Parameters(const std::vector<Value>& binds) {
    texts_.reserve(binds.size());
    isNull_.reserve(binds.size());
    for (const Value& v : binds) {
      std::visit(
          [this](const auto& x) {
            using T = std::decay_t<decltype(x)>;
            if constexpr (std::is_same_v<T, std::monostate>) push({}, true);
            else if constexpr (std::is_same_v<T, int64_t>) push(std::to_string(x), false);
            else if constexpr (std::is_same_v<T, double>) {
              char buffer[32];
              const auto end = std::to_chars(buffer, buffer + sizeof buffer, x).ptr;
              push(std::string(buffer, end), false);
            } else if constexpr (std::is_same_v<T, std::string>) push(databaseUtf8(x), false);
            else if constexpr (std::is_same_v<T, Blob>) push(byteaHex(x), false);
            else push(isoDate(x), false);
          },
          v);
    }
    // Pointers are taken once every text is in place, so none moves after.
    for (std::size_t i = 0; i < texts_.size(); ++i) pointers_.push_back(isNull_[i] ? nullptr : texts_[i].c_str());
  }
  int count() const { return static_cast<int>(pointers_.size()); }
  const char* const* values() const { return pointers_.data(); }

 private:
  void push(std::string text, bool null) {
    texts_.push_back(std::move(text));
    isNull_.push_back(null);
  }
  std::vector<std::string> texts_;
  std::vector<bool> isNull_;
  std::vector<const char*> pointers_;
};

class PgResultSet final : public ResultSet {
 public:
  PgResultSet(PgConnection::Result r, std::string context)
      : owned_(std::move(r)), r_(owned_.get()), context_(std::move(context)) {}

  bool next() override { return ++row_ < PQntuples(r_); }
  int64_t integer(const char* column) const override {
    const int i = index(column);
    if (PQgetisnull(r_, row_, i)) return 0;
    if (isDecimal(i)) return static_cast<int64_t>(std::strtod(PQgetvalue(r_, row_, i), nullptr));
    return std::strtoll(PQgetvalue(r_, row_, i), nullptr, 10);
  }
  std::string text(const char* column) const override {
    const int i = index(column);
    if (PQgetisnull(r_, row_, i)) return {};
    const char* v = PQgetvalue(r_, row_, i);
    if (isDecimal(i)) return text::formatNumber(std::strtod(v, nullptr));
    if (isDateOrTime(i)) return std::string(v, std::min(std::strlen(v), kIsoDateChars));
    return text::utf8ToGb18030(std::string_view(v, PQgetlength(r_, row_, i)));
  }
  Value value(const char* column) const override { return valueAt(index(column)); }
  Value valueAt(int i) const override {
    if (PQgetisnull(r_, row_, i)) return std::monostate{};
    const char* v = PQgetvalue(r_, row_, i);
    switch (PQftype(r_, i)) {
      case kBoolOid: return int64_t{v[0] == 't'};
      case kInt2Oid:
      case kInt4Oid:
      case kInt8Oid:
      case kOidOid: return int64_t{std::strtoll(v, nullptr, 10)};
      default: break;
    }
    if (isDecimal(i)) return std::strtod(v, nullptr);
    if (isDateOrTime(i)) {
      if (const std::optional<Date> d = parseDateText(std::string_view(v, std::min(std::strlen(v), kIsoDateChars))))
        return *d;
    }
    return text::utf8ToGb18030(std::string_view(v, PQgetlength(r_, row_, i)));
  }
  std::vector<std::string> columnNames() const override {
    std::vector<std::string> names;
    for (int i = 0; i < PQnfields(r_); ++i) names.emplace_back(PQfname(r_, i));
    return names;
  }

 private:
  bool isDecimal(int i) const {
    const Oid t = PQftype(r_, i);
    return t == kFloat4Oid || t == kFloat8Oid || t == kNumericOid;
  }
  bool isDateOrTime(int i) const {
    const Oid t = PQftype(r_, i);
    return t == kDateOid || t == kTimestampOid || t == kTimestampTzOid;
  }
  int index(const char* column) const {
    // Quoted, so the name is matched as given rather than folded again.
    const int i = PQfnumber(r_, ("\"" + std::string(column) + "\"").c_str());
    const int folded = i >= 0 ? i : PQfnumber(r_, column);
    if (folded < 0) throw DbError(DbFault::MissingColumn, context_ + ": 查询结果中没有列 " + column);
    if (row_ < 0 || row_ >= PQntuples(r_))
      throw DbError(DbFault::Misuse, context_ + ": 查询结果没有当前行, 读不了列 " + column);
    return folded;
  }

  PgConnection::Result owned_;
  const PGresult* r_;  // owned_'s
  std::string context_;
  int row_ = -1;
};

// The value of `keyword` in parsed connection options, empty when not given.
std::string option(const PQconninfoOption* options, const char* keyword) {
  for (const PQconninfoOption* o = options; o && o->keyword; ++o)
    if (std::strcmp(o->keyword, keyword) == 0 && o->val) return o->val;
  return {};
}

// Names the server and database for messages, never the password. Throws
// DbError (CannotConnect) for an address that names no server or database
// (a service file may name both).
std::string describeAddress(const std::string& target) {
  char* rawError = nullptr;
  const std::unique_ptr<PQconninfoOption, void (*)(PQconninfoOption*)> options(
      PQconninfoParse(target.c_str(), &rawError), &PQconninfoFree);
  // libpq's own sentence may quote the address, password and all: never shown.
  const std::unique_ptr<char, void (*)(void*)> error(rawError, &PQfreemem);
  if (!options)
    throw DbError(DbFault::CannotConnect, "PostgreSQL 数据库地址无法识别, 应为 postgresql://用户@主机:端口/库名");
  const std::string service = option(options.get(), "service");
  std::string host = option(options.get(), "host");
  if (host.empty()) host = option(options.get(), "hostaddr");
  const std::string dbName = option(options.get(), "dbname");
  std::string port = option(options.get(), "port");
  if (port.empty()) port = std::to_string(kDefaultPort);
  if (service.empty() && (host.empty() || dbName.empty()))
    throw DbError(DbFault::CannotConnect, "PostgreSQL 数据库地址不完整, 应为 postgresql://用户@主机:端口/库名");
  if (host.empty() || dbName.empty()) return "PostgreSQL 数据库 (服务 " + service + ")";
  return "PostgreSQL 数据库 " + dbName + "@" + host + ":" + port;
}

}  // namespace

void PgConnection::ResultDeleter::operator()(pg_result* r) const { PQclear(r); }
void PgConnection::FinishConnection::operator()(pg_conn* c) const { PQfinish(c); }

PgConnection::PgConnection(const std::string& target) : description_(describeAddress(target)) {
  // The address is expanded in place of "dbname": what it sets wins over the
  // connect timeout before it, and the client encoding after it wins over
  // the address, since every text here is UTF-8.
  const char* const keywords[] = {"connect_timeout", "dbname", "client_encoding", "fallback_application_name", nullptr};
  const char* const values[] = {"10", target.c_str(), "UTF8", "gzimport", nullptr};
  conn_.reset(PQconnectdbParams(keywords, values, 1));
  if (!conn_) throw DbError(DbFault::OutOfResources, "无法连接 " + description_ + ": 内存不足");
  if (PQstatus(conn_.get()) != CONNECTION_OK)
    throw DbError(DbFault::CannotConnect, "无法连接 " + description_ + ": " + oneLine(PQerrorMessage(conn_.get())));
  // The server's notices (an implicit index, a truncated name) would only
  // clutter the terminal; errors come with the statements' results.
  PQsetNoticeProcessor(conn_.get(), [](void*, const char*) {}, nullptr);
}

PgConnection::~PgConnection() = default;

DbFault PgConnection::faultOf(const pg_result* r) const {
  // A broken connection first: libpq reports it with a sentence and no code.
  if (PQstatus(conn_.get()) == CONNECTION_BAD) return DbFault::ConnectionLost;
  const char* state = r ? PQresultErrorField(r, PG_DIAG_SQLSTATE) : nullptr;
  const DbFault fault = faultFromSqlState(state ? state : "");
  // A failure inside a transaction with no savepoint to go back to has
  // spoilt the whole transaction: PostgreSQL refuses everything after it
  // and undoes it all at the end.
  if (fault != DbFault::ConnectionLost && inTransaction_ && savepointDepth_ == 0 &&
      PQtransactionStatus(conn_.get()) == PQTRANS_INERROR)
    return DbFault::TransactionLost;
  return fault;
}

void PgConnection::fail(const char* what, const pg_result* r, const Statement& s) {
  const DbFault fault = faultOf(r);
  const char* message = r ? PQresultErrorMessage(r) : nullptr;
  std::string why = oneLine(message && *message ? message : PQerrorMessage(conn_.get()));
  const char* state = r ? PQresultErrorField(r, PG_DIAG_SQLSTATE) : nullptr;
  if (state && *state) why += std::string(" (") + state + ")";
  std::string statement;
  if (!s.text.empty()) {
    statement = text::gb18030ToUtf8(s.binds.size() <= kMessageBinds ? renderStatement(s) : s.text);
    if (statement.size() > kMessageStatementBytes) {
      // Cut before a character, not inside one.
      std::size_t end = kMessageStatementBytes;
      while (end > 0 && (static_cast<unsigned char>(statement[end]) & 0xC0) == 0x80) --end;
      statement.resize(end);
    }
  }
  throwDbError(fault, description_ + ": " + what + ": " + why, std::move(statement));
}

const std::string& PgConnection::prepared(const std::string& text, const Statement& forMessages) {
  const auto it = preparedByText_.find(text);
  if (it != preparedByText_.end()) return it->second;
  const std::string name = "gz" + std::to_string(preparedByText_.size() + 1);
  const std::string sql = numberedPlaceholders(databaseUtf8(text));
  const Result r(PQprepare(conn_.get(), name.c_str(), sql.c_str(), 0, nullptr));
  if (!r || PQresultStatus(r.get()) != PGRES_COMMAND_OK) fail("语句准备失败", r.get(), forMessages);
  return preparedByText_.emplace(text, name).first->second;
}

PgConnection::Result PgConnection::run(const Statement& s, const char* what) {
  Result r;
  if (s.binds.empty()) {
    // One-off texts (schema, deletion, transaction control) are not kept.
    r.reset(PQexec(conn_.get(), databaseUtf8(s.text).c_str()));
  } else {
    const std::string& name = prepared(s.text, s);
    const Parameters p(s.binds);
    r.reset(PQexecPrepared(conn_.get(), name.c_str(), p.count(), p.values(), nullptr, nullptr, 0));
  }
  const ExecStatusType status = r ? PQresultStatus(r.get()) : PGRES_FATAL_ERROR;
  if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) fail(what, r.get(), s);
  return r;
}

void PgConnection::execute(const Statement& s) { run(s, "语句执行失败"); }

bool PgConnection::tryExecute(const Statement& s) {
  // A refused statement spoils the whole transaction unless it runs under a
  // savepoint of its own.
  return tryUnderSavepoint(s, inTransaction_);
}

void PgConnection::setBusyWait(const BusyWait& wait) {
  // The server waits for other users' locks itself, up to lock_timeout.
  execute(postgresLockTimeout(wait.limit));
}

std::unique_ptr<ResultSet> PgConnection::query(const Statement& s) {
  return std::make_unique<PgResultSet>(run(s, "查询失败"), description_);
}

int64_t PgConnection::insertReturningKey(std::string_view table, const Row& row, std::string_view keyColumn) {
  Statement s = rowInsert(table, row, description_);
  s.text += " returning " + std::string(keyColumn);
  const Result result = run(s, "记录写入失败");
  if (PQntuples(result.get()) != 1 || PQgetisnull(result.get(), 0, 0))
    throw DbError(DbFault::Unsupported,
                  description_ + ": 读不到新记录的 " + std::string(keyColumn) + ": 数据库没有返回自动编号",
                  text::gb18030ToUtf8(renderStatement(s)));
  return std::strtoll(PQgetvalue(result.get(), 0, 0), nullptr, 10);
}

void PgConnection::runPlain(const std::string& sql, const char* what) { run(Statement{sql, {}}, what); }

void PgConnection::begin() {
  runPlain("begin", "无法开始事务");
  inTransaction_ = true;
  savepointDepth_ = 0;
}

void PgConnection::commit() {
  Result r;
  try {
    r = run(Statement{"commit", {}}, "事务提交失败");
  } catch (const DbError& e) {
    // A commit the server refuses (a deferred constraint) has ended the
    // transaction and undone it; only a lost connection leaves that open.
    if (e.fault() == DbFault::ConnectionLost || PQtransactionStatus(conn_.get()) != PQTRANS_IDLE) throw;
    inTransaction_ = false;
    savepointDepth_ = 0;
    throw TransactionLost(e.what(), e.statement());
  }
  inTransaction_ = false;
  savepointDepth_ = 0;
  // The server answers a commit of a spoilt transaction by rolling it back.
  if (std::strcmp(PQcmdStatus(r.get()), "ROLLBACK") == 0)
    throw TransactionLost(description_ + ": 事务提交失败: 事务已被数据库撤销");
}

void PgConnection::rollback() {
  inTransaction_ = false;
  savepointDepth_ = 0;
  if (PQtransactionStatus(conn_.get()) != PQTRANS_IDLE) runPlain("rollback", "事务回滚失败");
}

void PgConnection::savepoint(const char* name) {
  runPlain(std::string("savepoint ") + name, "无法设置保存点");
  ++savepointDepth_;
}

void PgConnection::releaseSavepoint(const char* name) {
  runPlain(std::string("release savepoint ") + name, "无法释放保存点");
  if (savepointDepth_ > 0) --savepointDepth_;
}

void PgConnection::rollbackToSavepoint(const char* name) {
  runPlain(std::string("rollback to savepoint ") + name, "无法回滚到保存点");
}

const PgConnection::KeyNumbering& PgConnection::keyNumbering(std::string_view table, std::string_view column) {
  const std::string key = std::string(table) + "." + std::string(column);
  if (const auto it = keyNumbering_.find(key); it != keyNumbering_.end()) return it->second;
  KeyNumbering numbering;
  // Inside a transaction a refused look-up must not spoil it.
  std::optional<Savepoint> guard;
  if (inTransaction_) guard.emplace(*this, "gz_ids");
  try {
    auto rs =
        query({"select pg_get_serial_sequence(?, ?) as seq, (select attidentity from pg_attribute where "
               "attrelid = to_regclass(?) and attname = ?) as ident",
               {std::string(table), std::string(column), std::string(table), std::string(column)}});
    if (rs->next()) numbering = {rs->text("seq"), rs->text("ident") == "a"};
  } catch (const DbError& e) {
    // A server without identity columns (before version 10): keys are read back.
    if (e.fault() == DbFault::ConnectionLost || e.fault() == DbFault::TransactionLost) throw;
    numbering = {};
    if (guard) guard->rollback();
  }
  if (guard && guard->active()) guard->release();
  return keyNumbering_.insert_or_assign(key, std::move(numbering)).first->second;
}

bool PgConnection::canReserveIds(std::string_view table, std::string_view column) {
  // Asked once per run: looked up afresh, as the table may have changed since.
  keyNumbering_.erase(std::string(table) + "." + std::string(column));
  return !keyNumbering(table, column).sequence.empty();
}

std::vector<int64_t> PgConnection::reserveIds(std::string_view table, std::string_view column, int count) {
  const std::string sequence = keyNumbering(table, column).sequence;
  if (sequence.empty())
    throw DbError(DbFault::Unsupported, description_ + ": " + std::string(table) + " 的 " + std::string(column) +
                                            " 没有自己的序列, 不能预先取得编号");
  std::vector<int64_t> ids;
  if (count <= 0) return ids;
  ids.reserve(static_cast<std::size_t>(count));
  auto rs = query({"select nextval(?::regclass) as id from generate_series(1, ?)", {sequence, int64_t{count}}});
  while (rs->next()) ids.push_back(rs->integer("id"));
  return ids;
}

Statement PgConnection::insertWithId(std::string_view table, const Row& row, std::string_view keyColumn, int64_t key) {
  const bool alwaysGenerated = keyNumbering(table, keyColumn).alwaysGenerated;
  Row withKey = row;
  withKey.set(std::string(keyColumn), key);
  Statement s = rowInsert(table, withKey, description_);
  if (alwaysGenerated) {
    // An identity column "generated always" takes a given value only when told so.
    const std::size_t at = s.text.rfind(" values (");
    s.text.insert(at, " overriding system value");
  }
  return s;
}

void PgConnection::copyRows(const std::vector<BatchPlan::Load>& loads) {
  if (loads.empty()) return;
  // Every load's copy goes in one query text: the server starts each copy
  // as the one before it ends, so a batch waits for one answer per table
  // instead of two.
  std::vector<std::string> copies;
  std::string text;
  for (const BatchPlan::Load& load : loads) {
    std::string copy = "copy " + load.into.table + " (";
    for (std::size_t i = 0; i < load.into.columns.size(); ++i) copy += (i ? "," : "") + load.into.columns[i];
    copy += ") from stdin";
    text += (text.empty() ? "" : ";") + copy;
    copies.push_back(std::move(copy));
  }
  if (PQsendQuery(conn_.get(), databaseUtf8(text).c_str()) != 1) fail("成批写入失败", nullptr, {copies.front(), {}});
  std::size_t started = 0, done = 0;
  bool sent = true;
  Result failed;
  std::string data;
  // Read to the null result that ends the query, whatever went wrong.
  while (Result r{PQgetResult(conn_.get())}) {
    const ExecStatusType status = PQresultStatus(r.get());
    if (status == PGRES_COPY_IN && sent && started < loads.size()) {
      data.clear();
      for (const Statement* row : loads[started].rows)
        appendCopyLine(data, row->binds, loads[started].into.columns.size());
      ++started;
      sent = PQputCopyData(conn_.get(), data.data(), static_cast<int>(data.size())) == 1 &&
             PQputCopyEnd(conn_.get(), nullptr) == 1;
    } else if (status == PGRES_COPY_IN) {
      // A copy whose data could not go out, or one more than asked for, is abandoned.
      sent = false;
      if (PQputCopyEnd(conn_.get(), "abandoned") != 1) break;
    } else if (status == PGRES_COMMAND_OK && !failed) {
      ++done;
    } else if (!failed) {
      failed = std::move(r);
    }
  }
  if (!sent || failed || done != loads.size())
    fail("成批写入失败", failed.get(), {copies[std::min(done, copies.size() - 1)], {}});
}

bool PgConnection::nullByDefault(std::string_view table, std::string_view column) {
  const std::string key = std::string(table) + "." + std::string(column);
  if (const auto it = nullByDefault_.find(key); it != nullByDefault_.end()) return it->second;
  // A column with no default, no identity and no generation is null where an
  // insert leaves it out, exactly as where it is given null.
  const std::unique_ptr<ResultSet> r = query(
      {"select case when atthasdef or attidentity<>'' or attgenerated<>'' then 0 else 1 end as plain from pg_attribute "
       "where attrelid=to_regclass(?) and attname=? and not attisdropped",
       {std::string(table), std::string(column)}});
  const bool plain = r->next() && r->integer("plain") == 1;
  nullByDefault_.emplace(key, plain);
  return plain;
}

void PgConnection::executeBatch(const std::vector<Statement>& statements) {
  const BatchPlan plan = planBatch(
      statements, [this](std::string_view table, std::string_view column) { return nullByDefault(table, column); });
  // Each table's rows go in as one copy: the server reads them as plain
  // values with no statement to parse or plan per row.
  copyRows(plan.loads);
  pipeline(plan.others);
}

void PgConnection::executeInOrder(const std::vector<Statement>& statements) {
  std::vector<const Statement*> all;
  all.reserve(statements.size());
  for (const Statement& s : statements) all.push_back(&s);
  pipeline(all);
}

void PgConnection::pipeline(const std::vector<const Statement*>& statements) {
  if (statements.empty()) return;
  if (PQenterPipelineMode(conn_.get()) != 1) fail("无法成批发送语句", nullptr, {});
  // Every statement goes out before any answer is read; the answers come
  // back in order, and after the first refusal the server skips the rest.
  std::optional<std::size_t> sendFailedAt;
  for (std::size_t i = 0; i < statements.size() && !sendFailedAt; ++i) {
    const std::string sql = numberedPlaceholders(databaseUtf8(statements[i]->text));
    const Parameters p(statements[i]->binds);
    if (PQsendQueryParams(conn_.get(), sql.c_str(), p.count(), nullptr, p.values(), nullptr, nullptr, 0) != 1)
      sendFailedAt = i;
  }
  const bool synced = !sendFailedAt && PQpipelineSync(conn_.get()) == 1;
  Result firstFailure;
  std::optional<std::size_t> failedAt;
  if (synced) {
    for (std::size_t i = 0; i < statements.size(); ++i) {
      Result r(PQgetResult(conn_.get()));
      if (!r) break;  // the connection broke
      const ExecStatusType status = PQresultStatus(r.get());
      if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK && !failedAt) {
        failedAt = i;
        firstFailure = std::move(r);
      }
      // Each statement's answer ends with a null result.
      while (Result rest{PQgetResult(conn_.get())}) {
      }
    }
    // The answer to the sync point ends the pipeline.
    while (Result r{PQgetResult(conn_.get())})
      if (PQresultStatus(r.get()) == PGRES_PIPELINE_SYNC) break;
  }
  PQexitPipelineMode(conn_.get());
  if (sendFailedAt) fail("成批发送语句失败", nullptr, *statements[*sendFailedAt]);
  if (!synced) fail("成批发送语句失败", nullptr, {});
  if (failedAt) fail("语句执行失败", firstFailure.get(), *statements[*failedAt]);
  if (PQstatus(conn_.get()) == CONNECTION_BAD) fail("成批发送语句失败", nullptr, {});
}

}  // namespace gz::db
