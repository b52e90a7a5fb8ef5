#include "migrate/migration.h"

#include <algorithm>
#include <chrono>
#include <memory>

#include "db/bulk_writing.h"
#include "migrate/access_error.h"
#include "migrate/access_values.h"
#include "migrate/target_schema.h"
#include "text/gb18030.h"

namespace gz::migrate {
namespace {

constexpr std::size_t kRowsPerBatch = 2000;

std::string utf8(const std::string& gb) { return text::gb18030ToUtf8(gb); }

bool targetHasTable(db::Connection& target, const std::string& name) {
  return target.tryExecute(db::Statement("select * from " + quotedName(name) + " where 1=0"));
}

uint64_t targetRowCount(db::Connection& target, const std::string& name) {
  auto rows = target.query(db::Statement("select count(*) as n from " + quotedName(name)));
  return rows->next() ? static_cast<uint64_t>(rows->integer("n")) : 0;
}

// The tables to copy, in the file's order or as asked, each checked to be
// in the file and, without `replace`, not in the target.
std::vector<std::string> tablesToCopy(AccessFile& file, db::Connection& target, const MigrateOptions& options) {
  const std::vector<std::string> inFile = file.userTables();
  std::vector<std::string> names = options.tables.empty() ? inFile : options.tables;
  for (const std::string& name : names) {
    if (std::find(inFile.begin(), inFile.end(), name) == inFile.end())
      throw AccessError(AccessFault::NoSuchTable, "Access 数据库 " + file.path() + " 中没有表 " + utf8(name));
    if (!options.replace && targetHasTable(target, name))
      throw AccessError(AccessFault::TargetExists,
                        target.describe() + " 已有表 " + utf8(name) + ": 什么也没有写入; 要替换它请加 --replace");
  }
  return names;
}

class TableCopy {
 public:
  TableCopy(db::Connection& target, TableCursor& cursor, const TextForm& form)
      : target_(target), cursor_(cursor), form_(form), table_(cursor.table()) {
    std::vector<std::string> columns;
    for (const AccessColumn& c : table_.columns) columns.push_back(quotedName(c.name));
    shape_ = std::make_unique<db::InsertShape>(quotedName(table_.name), std::move(columns));
  }

  // Reads every row and writes it; returns the rows read.
  uint64_t run() {
    uint64_t rows = 0;
    RawValue raw;
    std::vector<db::Statement> batch;
    batch.reserve(kRowsPerBatch);
    while (cursor_.next()) {
      ++rows;
      std::vector<db::Value> values;
      values.reserve(table_.columns.size());
      for (std::size_t i = 0; i < table_.columns.size(); ++i) {
        cursor_.value(i, raw);
        ValueFault fault;
        std::optional<db::Value> v = convertValue(table_.columns[i], raw, form_, fault);
        if (!v) refuseCell(rows, i, fault);
        values.push_back(std::move(*v));
      }
      batch.push_back(shape_->statement(std::move(values)));
      if (batch.size() == kRowsPerBatch) flush(batch);
    }
    flush(batch);
    return rows;
  }

 private:
  [[noreturn]] void refuseCell(uint64_t row, std::size_t column, const ValueFault& fault) const {
    throw AccessError(AccessFault::Unsupported, "表 " + utf8(table_.name) + " 第" + std::to_string(row) + "行 列 " +
                                                    utf8(table_.columns[column].name) + ": " + fault.reason +
                                                    "; 此表没有写入");
  }

  void flush(std::vector<db::Statement>& batch) {
    if (batch.empty()) return;
    if (db::BulkWriting* bulk = target_.bulkWriting()) {
      bulk->executeBatch(batch);
    } else {
      for (const db::Statement& s : batch) target_.execute(s);
    }
    batch.clear();
  }

  db::Connection& target_;
  TableCursor& cursor_;
  TextForm form_;
  const AccessTable& table_;
  std::unique_ptr<db::InsertShape> shape_;
};

TableReport copyTable(AccessFile& file, db::Connection& target, const std::string& name,
                      const MigrateOptions& options) {
  const auto started = std::chrono::steady_clock::now();
  std::unique_ptr<TableCursor> cursor = file.openTable(name);
  const AccessTable& table = cursor->table();
  const TextForm form{file.header().version != JetVersion::Jet3, options.codePage, file.header().codePage};
  TableReport report{name, 0, 0, table.declaredRows, 0};

  db::Transaction transaction(target);
  if (options.replace && targetHasTable(target, name)) target.execute(db::Statement("drop table " + quotedName(name)));
  target.execute(db::Statement(createTableText(table, target.dialectKind())));
  report.rowsRead = TableCopy(target, *cursor, form).run();
  // The library passes over rows and pages it cannot read; the count the
  // table's definition keeps says when it did (a file closed uncleanly may
  // keep none).
  if (report.declaredRows != 0 && report.rowsRead != report.declaredRows)
    throw AccessError(AccessFault::Damaged, "Access 数据库 " + file.path() + " 已损坏: 表 " + utf8(name) + " 记着" +
                                                std::to_string(report.declaredRows) + "行, 只读出" +
                                                std::to_string(report.rowsRead) + "行; 此表没有写入");
  if (const std::string s = continueNumberingText(table, target.dialectKind()); !s.empty())
    target.query(db::Statement(s))->next();
  report.rowsWritten = targetRowCount(target, name);
  if (report.rowsWritten != report.rowsRead)
    throw AccessError(AccessFault::Damaged, "表 " + utf8(name) + ": 读出" + std::to_string(report.rowsRead) +
                                                "行, 写入后有" + std::to_string(report.rowsWritten) +
                                                "行; 此表没有写入");
  transaction.commit();
  report.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  return report;
}

}  // namespace

bool passwordOpens(const HeaderFacts& header, std::string_view candidate) {
  return header.password.empty() || header.password == candidate;
}

void checkReadable(const AccessFile& file) {
  if (file.header().officeEncrypted())
    throw AccessError(AccessFault::Encrypted, file.path() +
                                                  " 是用密码加密的 .accdb 文件 (Office 加密), 无法读取: "
                                                  "请在 Access 中去掉数据库密码后再迁移");
}

std::vector<TableReport> migrateTables(AccessFile& file, db::Connection& target, const MigrateOptions& options,
                                       MigrateListener& listener) {
  checkReadable(file);
  std::vector<TableReport> reports;
  for (const std::string& name : tablesToCopy(file, target, options)) {
    listener.tableStarted(name);
    reports.push_back(copyTable(file, target, name, options));
    listener.tableDone(reports.back());
  }
  return reports;
}

}  // namespace gz::migrate
