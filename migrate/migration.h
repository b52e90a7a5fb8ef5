// Copying the user tables of an Access file into a database: each table in
// one transaction, created with its columns under their own names and its
// primary key, every row read from the file's raw values, and the rows read
// compared with the rows the target then holds.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "db/connection.h"
#include "migrate/access_file.h"

namespace gz::migrate {

struct MigrateOptions {
  std::vector<std::string> tables;  // GB 18030; empty: every user table
  bool replace = false;             // drop a target table of the same name instead of refusing
  int codePage = 936;               // the code page of a Jet 3 file's texts
};

struct TableReport {
  std::string name;  // GB 18030
  uint64_t rowsRead = 0;
  uint64_t rowsWritten = 0;      // counted in the target after the copy
  uint32_t declaredRows = 0;     // the count the file's table definition holds
  double seconds = 0;
};

// What a migration reports while it runs; the front end shows it.
class MigrateListener {
 public:
  virtual ~MigrateListener() = default;
  virtual void tableStarted(const std::string& /*name*/) {}
  virtual void tableDone(const TableReport& report) = 0;
};

// True when `candidate` (GB 18030) opens the file: the password it keeps, or
// any when it keeps none.
bool passwordOpens(const HeaderFacts& header, std::string_view candidate);

// Refuses a file that cannot be read at all (Office-encrypted), before any
// table is touched. Throws AccessError(Encrypted).
void checkReadable(const AccessFile& file);

// Copies the tables. Before anything is written, every table asked for must
// be in the file and, without `replace`, none may be in the target. A table
// that fails is rolled back whole and ends the migration (AccessError or
// db::DbError); the tables before it stay copied.
std::vector<TableReport> migrateTables(AccessFile& file, db::Connection& target, const MigrateOptions& options,
                                       MigrateListener& listener);

}  // namespace gz::migrate
