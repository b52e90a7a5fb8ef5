// Floor benchmark: what reading a bench workbook and storing its rows costs
// with nothing else, the least an import of it can cost on this machine.
// The project's reader reads the cells the import reads; the rows the import
// would store (a person, then its education, position and assessment lines
// that have a code) go straight into the database:
//   floor_bench sqlite WORKBOOK DB DMTXT        prepared inserts, one transaction
//   floor_bench postgres WORKBOOK CONNINFO DMTXT  COPY into each table, one transaction
// The database must have the tables. No checks, no reports, no batches: the
// rows of bench/make_bench_workbook.py are mapped as bench/peer_import.py
// maps them. Prints the reading and the storing time.

#include <libpq-fe.h>
#include <sqlite3.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <vector>

#include "sheet/model/cell_forms.h"
#include "sheet/model/workbook.h"
#include "sheet/open_workbook.h"
#include "text/gb18030.h"

namespace {

using Clock = std::chrono::steady_clock;
double secondsSince(Clock::time_point t) { return std::chrono::duration<double>(Clock::now() - t).count(); }

// One stored row: its column values as UTF-8 text, empty for null.
using Values = std::vector<std::string>;

struct Person {
  Values values;  // in the order of kPersonColumns
  std::vector<Values> education, positions, assessments;
};

const char* const kPersonColumns = "bm,jxqyf,xm,jkzk,bh,sfzh,kjgl,xb,mz,csny,gzsj,grsf,dzysxl";
const char* const kEducationColumns = "mid,xxxs,xlrq,xldm,dzysxl";
const char* const kPositionColumns = "mid,rzrq,rzzwdm,gzzwdm";
const char* const kAssessmentColumns = "mid,khnd,khjg";

std::string trimmed(const std::string& s) {
  const auto first = s.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return {};
  return s.substr(first, s.find_last_not_of(" \t\r\n") - first + 1);
}

std::vector<std::string> lines(const std::string& cell) {
  std::vector<std::string> out;
  std::size_t start = 0;
  while (start <= cell.size()) {
    const std::size_t end = cell.find_first_of("\r\n", start);
    out.push_back(cell.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return out;
}

// dm.txt as text=code, both GB 18030 as the workbook's texts are.
std::unordered_map<std::string, std::string> loadCodes(const std::string& path) {
  std::unordered_map<std::string, std::string> codes;
  std::ifstream in(path, std::ios::binary);
  for (std::string line; std::getline(in, line);) {
    const std::size_t eq = line.find('=');
    if (eq != std::string::npos) codes[trimmed(line.substr(0, eq))] = trimmed(line.substr(eq + 1));
  }
  return codes;
}

// A serial day count as yyyy-mm-dd.
std::string isoDate(double serial) {
  // Days from 1970-01-01, then the civil date (proleptic Gregorian).
  long z = static_cast<long>(serial) - 25569 + 719468;
  const long era = (z >= 0 ? z : z - 146096) / 146097;
  const long doe = z - era * 146097;
  const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const long mp = (5 * doy + 2) / 153;
  const long d = doy - (153 * mp + 2) / 5 + 1;
  const long m = mp < 10 ? mp + 3 : mp - 9;
  char out[64];
  std::snprintf(out, sizeof out, "%04ld-%02ld-%02ld", yoe + era * 400 + (m <= 2), m, d);
  return out;
}

std::string clamp(const std::string& s, const char* lo, const char* hi) { return s < lo ? lo : (s > hi ? hi : s); }

// "1985.07..." as 1985-07-01, or empty when the line has no such start.
std::string lineDate(const std::string& line) {
  if (line.size() < 7 || line[4] != '.') return {};
  return clamp(line.substr(0, 4), "1900", "2100") + "-" + clamp(line.substr(5, 2), "01", "12") + "-01";
}

class Sheet {
 public:
  Sheet(const gz::sheet::Workbook& book) : book_(book) {
    for (uint32_t c = 1; c <= book.sheet().lastColumn(1); ++c) columns_[text(1, c)] = c;
  }
  std::string text(uint32_t row, uint32_t col) const { return gz::sheet::cellText(book_.value(row, col)); }
  std::string date(uint32_t row, uint32_t col) const {
    return isoDate(gz::sheet::cellDate(book_.value(row, col)).value_or(0));
  }
  uint32_t column(const char* titleUtf8) const {
    const auto it = columns_.find(gz::text::utf8ToGb18030(titleUtf8));
    if (it == columns_.end()) throw std::runtime_error(std::string("no column ") + titleUtf8);
    return it->second;
  }

 private:
  const gz::sheet::Workbook& book_;
  std::map<std::string, uint32_t> columns_;
};

using Codes = std::unordered_map<std::string, std::string>;

// The columns read, found by their titles once.
struct Columns {
  explicit Columns(const Sheet& s)
      : name(s.column("姓名")),
        seq(s.column("序号")),
        idCard(s.column("身份证号")),
        adjust(s.column("工龄调整(月)")),
        sex(s.column("性别")),
        ethnic(s.column("民族")),
        born(s.column("出生年月")),
        started(s.column("参加工作时间")),
        status(s.column("个人身份")),
        years(s.column("不计算工龄的大专以上学龄（年）")),
        edu(s.column("学历")),
        pos(s.column("执行基本工资对应职务")),
        kh(s.column("从2006年开始的考核情况")) {}
  uint32_t name, seq, idCard, adjust, sex, ethnic, born, started, status, years, edu, pos, kh;
};

std::string code(const Codes& codes, const std::string& gbk) {
  const auto it = codes.find(gbk);
  return it == codes.end() ? std::string() : it->second;
}

void readHistories(const Sheet& sheet, const Columns& col, uint32_t row, const Codes& codes, Person& p) {
  const std::string start = p.values[10];
  std::string lastFull;
  for (const std::string& line : lines(sheet.text(row, col.edu))) {
    const std::string d = lineDate(line), c = d.empty() ? "" : code(codes, line.substr(7));
    if (d.empty()) continue;
    const bool full = d <= start;
    if (full) lastFull = d;
    if (!c.empty()) p.education.push_back({full ? "全日制" : "在职", d, c, ""});
  }
  const long wholeYears = std::stol(p.values[12]) / 12;
  for (Values& e : p.education)
    if (e[1] == lastFull && wholeYears != 0) e[3] = std::to_string(wholeYears);
  for (const std::string& raw : lines(sheet.text(row, col.pos))) {
    const std::string line = trimmed(raw), d = lineDate(line);
    const std::string c = d.empty() ? "" : code(codes, trimmed(line.substr(7)));
    if (!c.empty()) p.positions.push_back({d, c, c});
  }
  for (const std::string& raw : lines(sheet.text(row, col.kh))) {
    const std::string line = trimmed(raw);
    if (line.size() < 4 || line.substr(0, 4) < "1900" || line.substr(0, 4) > "2100") continue;
    const std::string c = code(codes, trimmed(line.substr(4)));
    if (!c.empty()) p.assessments.push_back({line.substr(0, 4), c});
  }
}

// Every data row up to the first empty name, as the rows to store.
std::vector<Person> readPeople(const std::string& workbook, const std::string& dm) {
  const Codes codes = loadCodes(dm);
  const auto book = gz::sheet::openWorkbook(workbook);
  const Sheet sheet(*book);
  const Columns col(sheet);
  std::vector<Person> people;
  for (uint32_t row = 2;; ++row) {
    const std::string name = sheet.text(row, col.name);
    if (name.empty()) break;
    Person p;
    const double years = std::atof(sheet.text(row, col.years).c_str());
    const long months = 12 * static_cast<long>(years) + std::lround(years * 100) % 100;
    p.values = {"01",
                "12",
                gz::text::gb18030ToUtf8(name),
                "10",
                sheet.text(row, col.seq),
                sheet.text(row, col.idCard),
                std::to_string(-std::atol(sheet.text(row, col.adjust).c_str())),
                code(codes, sheet.text(row, col.sex)),
                code(codes, sheet.text(row, col.ethnic)),
                sheet.date(row, col.born),
                sheet.date(row, col.started),
                gz::text::gb18030ToUtf8(sheet.text(row, col.status)),
                std::to_string(months)};
    readHistories(sheet, col, row, codes, p);
    people.push_back(std::move(p));
  }
  return people;
}

long historyRows(const std::vector<Person>& people) {
  long n = 0;
  for (const Person& p : people) n += static_cast<long>(p.education.size() + p.positions.size() + p.assessments.size());
  return n;
}

// --- SQLite: prepared inserts in one transaction -------------------------

void check(sqlite3* db, int rc, int expected) {
  if (rc != expected) throw std::runtime_error(sqlite3_errmsg(db));
}

class Insert {
 public:
  Insert(sqlite3* db, const std::string& table, const char* columns) : db_(db) {
    std::string marks, name;
    for (const char* c = columns;; ++c) {
      if (*c != ',' && *c != '\0') {
        name += *c;
        continue;
      }
      // Whole-number columns get numbers, as the tool binds them.
      whole_.push_back(name == "jxqyf" || name == "kjgl" || name == "dzysxl" || name == "khnd" || name == "khjg");
      name.clear();
      if (*c == '\0') break;
      marks += ",?";
    }
    const std::string sql = "insert into " + table + " (" + columns + ") values (?" + marks + ")";
    check(db, sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt_, nullptr), SQLITE_OK);
  }
  ~Insert() { sqlite3_finalize(stmt_); }
  Insert(const Insert&) = delete;
  Insert& operator=(const Insert&) = delete;
  // A history row names its person first (`mid`); a person has no such value.
  void run(const Values& v, sqlite3_int64 mid = 0) {
    const int first = mid != 0 ? 2 : 1;
    if (mid != 0) sqlite3_bind_int64(stmt_, 1, mid);
    for (std::size_t i = 0; i < v.size(); ++i) {
      const int at = static_cast<int>(i) + first;
      if (v[i].empty()) sqlite3_bind_null(stmt_, at);
      else if (whole_[i + first - 1]) sqlite3_bind_int64(stmt_, at, std::atoll(v[i].c_str()));
      else sqlite3_bind_text(stmt_, at, v[i].data(), static_cast<int>(v[i].size()), SQLITE_STATIC);
    }
    check(db_, sqlite3_step(stmt_), SQLITE_DONE);
    sqlite3_reset(stmt_);
  }

 private:
  sqlite3* db_;
  sqlite3_stmt* stmt_ = nullptr;
  std::vector<bool> whole_;  // by column
};

void storeSqlite(const std::vector<Person>& people, const std::string& path) {
  // SQLite set up as the tool's own connection sets it: no memory statistics
  // (a global lock on every allocation), no mutex, a page cache of 64 MiB.
  sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
  sqlite3* raw = nullptr;
  const int rc = sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
  const std::unique_ptr<sqlite3, int (*)(sqlite3*)> db(raw, sqlite3_close);
  check(raw, rc, SQLITE_OK);
  check(raw, sqlite3_exec(raw, "pragma cache_size=-65536", nullptr, nullptr, nullptr), SQLITE_OK);
  check(raw, sqlite3_exec(raw, "begin", nullptr, nullptr, nullptr), SQLITE_OK);
  {
    Insert person(raw, "ryjbxx", kPersonColumns), edu(raw, "ryxl", kEducationColumns);
    Insert pos(raw, "ryrz", kPositionColumns), kh(raw, "rykh", kAssessmentColumns);
    for (const Person& p : people) {
      person.run(p.values);
      const sqlite3_int64 id = sqlite3_last_insert_rowid(raw);
      for (const Values& v : p.education) edu.run(v, id);
      for (const Values& v : p.positions) pos.run(v, id);
      for (const Values& v : p.assessments) kh.run(v, id);
    }
  }
  check(raw, sqlite3_exec(raw, "commit", nullptr, nullptr, nullptr), SQLITE_OK);
}

// --- PostgreSQL: COPY in one transaction ----------------------------------

using PgResult = std::unique_ptr<PGresult, void (*)(PGresult*)>;

void pgRun(PGconn* pg, const std::string& sql, ExecStatusType expected) {
  const PgResult r(PQexec(pg, sql.c_str()), PQclear);
  if (PQresultStatus(r.get()) != expected) throw std::runtime_error(PQerrorMessage(pg));
}

// One row in COPY's text form, after the id it starts with.
void copyLine(std::string& out, const char* id, const Values& v) {
  out += id;
  for (std::size_t i = 0; i < v.size(); ++i) {
    out += '\t';
    if (v[i].empty()) {
      out += "\\N";
      continue;
    }
    for (const char ch : v[i]) {
      if (ch == '\\' || ch == '\t' || ch == '\n' || ch == '\r') out += '\\';
      out += ch == '\t' ? 't' : ch == '\n' ? 'n' : ch == '\r' ? 'r' : ch;
    }
  }
  out += '\n';
}

void copyInto(PGconn* pg, const std::string& table, const std::string& columns, const std::string& data) {
  pgRun(pg, "copy " + table + " (" + columns + ") from stdin", PGRES_COPY_IN);
  if (PQputCopyData(pg, data.data(), static_cast<int>(data.size())) != 1 || PQputCopyEnd(pg, nullptr) != 1)
    throw std::runtime_error(PQerrorMessage(pg));
  const PgResult r(PQgetResult(pg), PQclear);
  if (PQresultStatus(r.get()) != PGRES_COMMAND_OK) throw std::runtime_error(PQerrorMessage(pg));
}

void storePostgres(const std::vector<Person>& people, const std::string& conninfo) {
  const std::unique_ptr<PGconn, void (*)(PGconn*)> conn(PQconnectdb(conninfo.c_str()), PQfinish);
  PGconn* pg = conn.get();
  if (PQstatus(pg) != CONNECTION_OK) throw std::runtime_error(PQerrorMessage(pg));
  pgRun(pg, "begin", PGRES_COMMAND_OK);
  // The ids are taken from the sequence in one call, as the rows name them.
  const std::string n = std::to_string(people.size());
  const PgResult first(
      PQexec(pg, ("select nextval(pg_get_serial_sequence('ryjbxx','id')) from generate_series(1," + n + ")").c_str()),
      PQclear);
  if (PQresultStatus(first.get()) != PGRES_TUPLES_OK) throw std::runtime_error(PQerrorMessage(pg));
  std::string persons, edu, pos, kh;
  for (std::size_t i = 0; i < people.size(); ++i) {
    const char* id = PQgetvalue(first.get(), static_cast<int>(i), 0);
    copyLine(persons, id, people[i].values);
    for (const Values& h : people[i].education) copyLine(edu, id, h);
    for (const Values& h : people[i].positions) copyLine(pos, id, h);
    for (const Values& h : people[i].assessments) copyLine(kh, id, h);
  }
  copyInto(pg, "ryjbxx", std::string("id,") + kPersonColumns, persons);
  copyInto(pg, "ryxl", kEducationColumns, edu);
  copyInto(pg, "ryrz", kPositionColumns, pos);
  copyInto(pg, "rykh", kAssessmentColumns, kh);
  pgRun(pg, "commit", PGRES_COMMAND_OK);
}

int run(const std::string& kind, const std::string& workbook, const std::string& target, const std::string& dm) {
  const auto start = Clock::now();
  const std::vector<Person> people = readPeople(workbook, dm);
  const double read = secondsSince(start);
  const auto storeStart = Clock::now();
  if (kind == "sqlite") storeSqlite(people, target);
  else storePostgres(people, target);
  const double store = secondsSince(storeStart);
  const long rows = static_cast<long>(people.size()) + historyRows(people);
  std::printf("floor: read %.2f s, store %.2f s, total %.2f s, %ld rows, %.0f rows/s\n", read, store, read + store,
              rows, rows / (read + store));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string kind = argc == 5 ? argv[1] : "";
  if (kind != "sqlite" && kind != "postgres") {
    std::fprintf(stderr, "usage: floor_bench sqlite|postgres WORKBOOK DB|CONNINFO DMTXT\n");
    return 2;
  }
  try {
    return run(kind, argv[2], argv[3], argv[4]);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "floor_bench: %s\n", e.what());
    return 1;
  }
}
