#include "import/shared/tests/fakes.h"

#include <algorithm>
#include <cctype>

#include "db/sql_values.h"
#include "import/shared/column_map.h"
#include "import/shared/run_texts.h"
#include "import/shared/texts.h"
#include "import/shared/typed_date_counter.h"

namespace gz::imp::testing {
namespace {

bool allDigits(std::string_view s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool plausibleDate(std::string_view date) { return allDigits(date.substr(0, 4)); }

std::string q(std::string_view s) { return "'" + std::string(s) + "'"; }

}  // namespace

std::vector<db::Statement> FakeDialect::deleteDepartmentPeople(std::string_view code) const {
  std::vector<db::Statement> out;
  for (const char* table : {"ryrz", "rybdrz", "rykh", "ryxl", "ryjl", "ryjc", "rygzbhb"}) {
    out.push_back({std::string("detach ") + table + " " + std::string(code) + "%", {}});
    out.push_back({std::string("delete from ") + table + " where mid=0", {}});
  }
  out.push_back({"delete from ryjbxx where bm like '" + std::string(code) + "%'", {}});
  return out;
}

std::optional<db::Statement> FakeDialect::insertEducation(int64_t id, bool fullTime, std::string_view date,
                                                          std::string_view code) const {
  if (!plausibleDate(date)) return std::nullopt;
  return db::Statement{"insert into ryxl (mid,xxxs,xlrq,xldm) values (" + std::to_string(id) + "," +
                           q(G(fullTime ? "全日制" : "在职")) + "," + q(date) + "," + q(code) + ")",
                       {}};
}

std::optional<db::Statement> FakeDialect::updateEducationYears(int64_t years, int64_t id, std::string_view date) const {
  if (!plausibleDate(date)) return std::nullopt;
  return db::Statement{"update ryxl set dzysxl=" + std::to_string(years) + " where mid=" + std::to_string(id) +
                           " and xlrq=#" + std::string(date) + "#",
                       {}};
}

std::optional<db::Statement> FakeDialect::insertPosition(int64_t id, std::string_view date,
                                                         std::string_view code) const {
  if (!plausibleDate(date)) return std::nullopt;
  return db::Statement{"insert into ryrz (mid,rzrq,rzzwdm,gzzwdm ) values (" + std::to_string(id) + "," + q(date) +
                           "," + q(code) + "," + q(code) + ")",
                       {}};
}

std::optional<db::Statement> FakeDialect::insertAssessment(int64_t id, int64_t year, std::string_view code) const {
  if (!allDigits(code)) return std::nullopt;
  return db::Statement{"insert into rykh (mid,khnd,khjg ) values (" + std::to_string(id) + "," + std::to_string(year) +
                           "," + std::string(code) + ")",
                       {}};
}

std::optional<bool> FakeDialect::sameDate(std::string_view a, std::string_view b) const {
  const auto left = db::parseDateText(a);
  const auto right = db::parseDateText(b);
  if (!left || !right) return std::nullopt;
  return *left == *right;
}

std::optional<db::Statement> FakeDialect::insertEducationWithYears(int64_t id, bool fullTime, std::string_view date,
                                                                   std::string_view code, int64_t years) const {
  if (!plausibleDate(date)) return std::nullopt;
  return db::Statement{"insert into ryxl (mid,xxxs,xlrq,xldm,dzysxl) values (" + std::to_string(id) + "," +
                           q(G(fullTime ? "全日制" : "在职")) + "," + q(date) + "," + q(code) + "," +
                           std::to_string(years) + ")",
                       {}};
}

db::Statement FakeDialect::updatePerson(int64_t id, const db::Row& columns) const {
  const auto xm = column(columns, "xm");
  return {"update person " + std::to_string(id) + " " + (xm ? U(std::get<std::string>(*xm)) : std::string()), {}};
}

void FakeConnection::op(const std::string& name) {
  if (beforeOp) beforeOp(name);
  log.push_back(name);
}

void FakeConnection::write(const db::Statement& s) {
  const std::string text = U(s.text);
  if (!refuseContaining.empty() && text.find(refuseContaining) != std::string::npos)
    throw db::DbError("refused: " + text, text);
  (inTransaction ? pending : committed).push_back(text);
}

void FakeConnection::execute(const db::Statement& s) {
  if (U(s.text).rfind("set ", 0) == 0) {
    settings.push_back(U(s.text));
    return;
  }
  op("execute");
  write(s);
}

bool FakeConnection::tryExecute(const db::Statement& s) {
  op("tryExecute");
  try {
    write(s);
    return true;
  } catch (const db::DbError&) {
    return false;
  }
}

namespace {
class OneRow final : public db::ResultSet {
 public:
  explicit OneRow(int64_t answer) : answer_(answer) {}
  bool next() override {
    if (read_) return false;
    read_ = true;
    return true;
  }
  int64_t integer(const char*) const override { return answer_; }
  std::string text(const char*) const override { return std::to_string(answer_); }
  db::Value value(const char*) const override { return answer_; }
  std::vector<std::string> columnNames() const override { return {"answer"}; }

 private:
  int64_t answer_;
  bool read_ = false;
};
}  // namespace

int64_t FakeConnection::insertReturningKey(std::string_view, const db::Row& r, std::string_view) {
  op("insertPerson");
  const auto xm = column(r, "xm");
  const std::string name = xm ? U(std::get<std::string>(*xm)) : std::string();
  if (!refusePersonNamed.empty() && name == refusePersonNamed) throw db::DbError("person refused");
  persons.push_back(r);
  (inTransaction ? pending : committed).push_back("person " + name);
  return nextId++;
}

namespace {
class IdCardRows : public db::ResultSet {
 public:
  explicit IdCardRows(const std::vector<std::pair<std::string, std::string>>& rows) : rows_(rows) {}
  bool next() override { return ++at_ < rows_.size(); }
  int64_t integer(const char*) const override { return 0; }
  std::string text(const char* column) const override {
    const auto& [xm, sfzh] = rows_.at(at_);
    return G(std::string_view(column) == "xm" ? xm : sfzh);
  }
  db::Value value(const char* column) const override { return text(column); }
  std::vector<std::string> columnNames() const override { return {"xm", "sfzh"}; }

 private:
  std::vector<std::pair<std::string, std::string>> rows_;
  std::size_t at_ = static_cast<std::size_t>(-1);
};
}  // namespace

std::unique_ptr<db::ResultSet> FakeConnection::query(const db::Statement& s) {
  queries.push_back(U(s.text));
  op("query");
  if (s.text.rfind("idcards ", 0) == 0) return std::make_unique<IdCardRows>(storedIdCards);
  return std::make_unique<OneRow>(queryAnswer);
}

void FakeConnection::begin() {
  op("begin");
  if (inTransaction) throw db::DbError("nested begin");
  inTransaction = true;
}

void FakeConnection::commit() {
  op("commit");
  if (!inTransaction) throw db::DbError("commit without transaction");
  if (!savepoints_.empty()) throw db::DbError("commit with an open savepoint");
  committed.insert(committed.end(), pending.begin(), pending.end());
  pending.clear();
  inTransaction = false;
}

void FakeConnection::rollback() {
  op("rollback");
  pending.clear();
  savepoints_.clear();
  inTransaction = false;
}

void FakeConnection::savepoint(const char*) {
  op("savepoint");
  if (!inTransaction) throw db::DbError("savepoint outside a transaction");
  savepoints_.push_back(pending.size());
}

void FakeConnection::releaseSavepoint(const char*) {
  op("release");
  if (savepoints_.empty()) throw db::DbError("no savepoint");
  savepoints_.pop_back();
}

void FakeConnection::rollbackToSavepoint(const char*) {
  op("rollbackTo");
  if (savepoints_.empty()) throw db::DbError("no savepoint");
  pending.resize(savepoints_.back());
}

std::vector<std::string> FakeConnection::allWrites() const {
  std::vector<std::string> all = committed;
  all.insert(all.end(), pending.begin(), pending.end());
  return all;
}

namespace {

void putCell(sheet::SheetData& data, uint32_t row, uint32_t col, const Cell& c) {
  switch (c.kind) {
    case Cell::Empty: break;
    case Cell::Text: data.setText(row, col, G(c.text)); break;
    case Cell::Number: data.setNumber(row, col, c.number, false); break;
    case Cell::Date: data.setNumber(row, col, c.number, true); break;
    case Cell::Error: data.setError(row, col, static_cast<uint8_t>(c.number)); break;
    case Cell::Boolean: data.setBoolean(row, col, c.number != 0); break;
    case Cell::UnreadableText: data.setText(row, col, G(c.text), true); break;
  }
}

}  // namespace

std::unique_ptr<sheet::Workbook> fakeWorkbook(const std::vector<std::vector<Cell>>& rows) {
  auto book = std::make_unique<sheet::Workbook>();
  book->sheetName_ = "Sheet1";
  for (uint32_t r = 0; r < rows.size(); ++r)
    for (uint32_t c = 0; c < rows[r].size(); ++c) putCell(book->sheet_, r + 1, c + 1, rows[r][c]);
  book->sheet_.finish();
  return book;
}

void RecordingFrontend::deletingDepartment() { importLine(texts::kMsgDeleting); }

void RecordingFrontend::titleUnreadable(int32_t column) { importLine(unreadableTitleLine(column)); }

void RecordingFrontend::datesReadAsTyped(const TypedDateCounter& counted) {
  for (const std::string& line : counted.lines()) importLine(line);
}

void RecordingFrontend::layoutAccepted() { importLine(texts::kMsgLayoutAccepted); }

bool RecordingFrontend::titlesFound(const FoundHeader& header) {
  events.push_back("found: " + U(rowsLabel(header.rows)));
  if (takeFoundTitles)
    for (const std::string& line : foundHeaderLines(header)) importLine(line);
  return takeFoundTitles;
}

void RecordingFrontend::lineWithoutCode(HistoryKind kind, std::string_view personName, std::string_view name) {
  errorLine(lineWithoutCodeText(kind, personName, name));
}

void RecordingFrontend::rowDone(const RowOutcome& row) {
  rows.push_back(row);
  if (!row.stored) errorLine(rowNotStoredLine(row));
}

void RecordingFrontend::waiting(WaitCause cause) {
  importLine(waitingText(cause));
  runState(waitingText(cause));
}

void RecordingFrontend::errorLine(const std::string& gbk) {
  events.push_back("error: " + U(gbk));
  errorLinesGbk.push_back(gbk);
}

void RecordingFrontend::runEnded(const ImportOutcome& o) {
  ends.push_back(o);
  switch (o.end) {
    case RunEnd::AlreadyRunning: box(o.message, texts::kCaptionInfo); break;
    case RunEnd::NoFile:
      runState(texts::kMsgNoFileStatus);
      box(texts::kMsgNoFileBox, texts::kCaptionFailed);
      break;
    case RunEnd::WorkbookUnreadable:
      importLine(o.message);
      box(o.message, texts::kCaptionFailed);
      break;
    case RunEnd::LayoutRejected:
      importLine(o.message);
      if (!o.detail.empty()) importLine(o.detail);
      break;
    case RunEnd::StartRowOutside:
    case RunEnd::Cancelled: importLine(o.message); break;
    case RunEnd::Failed:
      importLine(summaryLine(o));
      if (o.resumeRow != 0) importLine(resumeLine(o));
      runState(texts::kMsgRunFailedStatus);
      box(o.message, texts::kCaptionError);
      break;
    case RunEnd::Aborted:
      runState(texts::kMsgAborted);
      box(texts::kMsgAborted, texts::kCaptionInfo);
      [[fallthrough]];
    case RunEnd::Completed:
      importLine(summaryLine(o));
      if (o.resumeRow != 0) importLine(resumeLine(o));
      runState(doneText(o));
      box(doneText(o), texts::kCaptionInfo);
      break;
  }
}

DuplicateAnswer RecordingFrontend::duplicatesFound(const std::vector<DuplicateRow>& rows) {
  std::string e = "duplicates:";
  for (const DuplicateRow& d : rows)
    e += std::string(e.back() == ':' ? " " : ", ") + std::to_string(d.row) + " " + U(d.personName) + " " + U(d.idCard);
  events.push_back(e);
  if (duplicateAnswer == DuplicateAnswer::SkipExisting)
    for (const DuplicateRow& d : rows) importLine(duplicateLine(d, true));
  return duplicateAnswer;
}

std::vector<std::string> RecordingFrontend::only(const std::string& kind) const {
  std::vector<std::string> out;
  const std::string prefix = kind + ": ";
  for (const auto& e : events)
    if (e.rfind(prefix, 0) == 0) out.push_back(e.substr(prefix.size()));
  return out;
}

std::optional<db::Value> column(const db::PersonRecord& r, const std::string& name) {
  for (const auto& [col, v] : r.columns())
    if (col == name) return v;
  return std::nullopt;
}

}  // namespace gz::imp::testing
