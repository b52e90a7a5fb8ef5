// An Access file opened for reading through mdbtools' libmdb: its header,
// its user tables and their columns, and a cursor over a table's rows that
// yields each value as the raw bytes the file stores (never the library's
// printed text). This is the only file that calls into libmdb.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "migrate/access_header.h"

namespace gz::migrate {

// Column types as the file stores them.
enum class AccessType : uint8_t {
  Boolean,
  Byte,
  Integer,
  LongInteger,
  BigInt,
  Currency,
  Single,
  Double,
  DateTime,
  Binary,
  Text,
  OleObject,
  Memo,
  Guid,
  Numeric,
  Complex,
  Other
};

struct AccessColumn {
  std::string name;  // GB 18030
  AccessType type = AccessType::Other;
  int typeCode = 0;  // the file's own type number
  int precision = 0, scale = 0;  // Numeric only
  bool autoNumber = false;       // numbered by the database as rows are added
};

struct AccessTable {
  std::string name;  // GB 18030
  std::vector<AccessColumn> columns;
  std::vector<std::size_t> primaryKey;  // indexes into columns, in key order; empty without one
  uint32_t declaredRows = 0;            // the row count the table definition holds
};

// One value of the current row: null, or the bytes the row holds for it
// (for memo and OLE columns the long value, whole).
struct RawValue {
  bool null = true;
  std::string bytes;
};

class AccessFile;

class TableCursor {
 public:
  ~TableCursor();
  TableCursor(const TableCursor&) = delete;
  TableCursor& operator=(const TableCursor&) = delete;

  const AccessTable& table() const { return table_; }
  // Moves to the next row; false at the end. Throws AccessError(Damaged)
  // when the row cannot be taken apart.
  bool next();
  // The value of column `i` of the current row. Throws AccessError(Damaged)
  // when a long value's pages cannot be followed.
  void value(std::size_t i, RawValue& out);

 private:
  friend class AccessFile;
  struct Handle;
  TableCursor(AccessFile& file, std::unique_ptr<Handle> handle, AccessTable table);
  AccessFile& file_;
  std::unique_ptr<Handle> handle_;
  AccessTable table_;
};

class AccessFile {
 public:
  // Opens `path` and reads its header page only. `jet3CodePage` is the code
  // page of a Jet 3 file's names. Throws AccessError (NotFound, NotAccess).
  AccessFile(const std::string& path, int jet3CodePage);
  ~AccessFile();
  AccessFile(const AccessFile&) = delete;
  AccessFile& operator=(const AccessFile&) = delete;

  const HeaderFacts& header() const { return header_; }
  const std::string& path() const { return path_; }
  // The names of the user tables (no system or linked tables), in the
  // catalogue's order. Throws AccessError(Damaged).
  std::vector<std::string> userTables();
  // A cursor at the start of the named table. Throws AccessError.
  std::unique_ptr<TableCursor> openTable(const std::string& name);

 private:
  friend class TableCursor;
  struct Handle;
  struct Entry;  // the library's catalogue entry of a table
  void readCatalog();
  std::unique_ptr<TableCursor> cursorOn(Entry& entry, const std::string& name);
  std::unique_ptr<Handle> handle_;
  HeaderFacts header_;
  std::string path_;
  int jet3CodePage_;
};

}  // namespace gz::migrate
