#include "migrate/access_file.h"

#include <mdbtools.h>

#include <QString>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>

#include "migrate/access_error.h"
#include "migrate/access_values.h"
#include "text/gb18030.h"

namespace gz::migrate {
namespace {

constexpr int kOffsetMask = 0x1fff;  // a row's offset within its page, without the flags
constexpr uint8_t kPrimaryKeyIndex = 1;
constexpr int kBigIntType = 0x13;  // ACE's 64-bit whole number, unknown to the library's enum
constexpr std::size_t kLongValueHeader = MDB_MEMO_OVERHEAD;
constexpr uint8_t kLongValueInline = 0x80, kLongValueOnePage = 0x40;
constexpr std::size_t kSignatureBytes = 20;

struct CloseMdb {
  void operator()(MdbHandle* h) const { mdb_close(h); }
};
struct FreeTable {
  void operator()(MdbTableDef* t) const { mdb_free_tabledef(t); }
};

AccessType typeOf(int code) {
  switch (code) {
    case MDB_BOOL: return AccessType::Boolean;
    case MDB_BYTE: return AccessType::Byte;
    case MDB_INT: return AccessType::Integer;
    case MDB_LONGINT: return AccessType::LongInteger;
    case kBigIntType: return AccessType::BigInt;
    case MDB_MONEY: return AccessType::Currency;
    case MDB_FLOAT: return AccessType::Single;
    case MDB_DOUBLE: return AccessType::Double;
    case MDB_DATETIME: return AccessType::DateTime;
    case MDB_BINARY: return AccessType::Binary;
    case MDB_TEXT: return AccessType::Text;
    case MDB_OLE: return AccessType::OleObject;
    case MDB_MEMO: return AccessType::Memo;
    case MDB_REPID: return AccessType::Guid;
    case MDB_NUMERIC: return AccessType::Numeric;
    case MDB_COMPLEX: return AccessType::Complex;
    default: return AccessType::Other;
  }
}

uint32_t u32(const unsigned char* p) {
  return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

std::string gbName(const char* utf8) { return text::utf8ToGb18030(utf8); }

[[noreturn]] void damaged(const std::string& path, const std::string& what) {
  throw AccessError(AccessFault::Damaged, "Access 数据库 " + path + " 已损坏或不完整: " + what);
}

// Checks the file's first bytes before the library sees it: it names no
// missing or unreadable file and refuses other files more plainly.
void checkSignature(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw AccessError(AccessFault::NotFound, "找不到或不能读取 Access 数据库 " + path);
  char head[kSignatureBytes] = {};
  in.read(head, sizeof head);
  const std::string_view magic(head + 4, 15);
  if (in.gcount() < static_cast<std::streamsize>(sizeof head) || head[0] != 0 ||
      (magic != "Standard Jet DB" && magic != "Standard ACE DB"))
    throw AccessError(AccessFault::NotAccess, path + " 不是 Access 数据库 (.mdb/.accdb)");
}

}  // namespace

struct AccessFile::Entry {
  MdbCatalogEntry entry{};
};

struct AccessFile::Handle {
  struct Table {
    std::string name;  // GB 18030
    guint32 page;      // of its definition
  };
  std::unique_ptr<MdbHandle, CloseMdb> mdb;
  bool catalogRead = false;
  std::vector<Table> tables;
  // The catalogue entries of the tables opened; a table's definition points to its entry.
  std::vector<std::unique_ptr<Entry>> entries;
};

struct TableCursor::Handle {
  std::unique_ptr<MdbTableDef, FreeTable> table;
  std::vector<MdbField> fields;
};

AccessFile::AccessFile(const std::string& path, int jet3CodePage)
    : handle_(std::make_unique<Handle>()), path_(path), jet3CodePage_(jet3CodePage) {
  checkSignature(path);
  // The library converts a Jet 3 file's names from the code page this names.
  const std::string charset = "CP" + std::to_string(jet3CodePage);
  setenv("MDB_JET3_CHARSET", charset.c_str(), 1);
  handle_->mdb.reset(mdb_open(path.c_str(), MDB_NOFLAGS));
  if (!handle_->mdb) damaged(path, "无法读取文件头");
  const auto* page = reinterpret_cast<const char*>(handle_->mdb->pg_buf);
  if (!readHeaderFacts(std::string_view(page, MDB_PGSIZE), header_)) damaged(path, "文件头不完整");
  // The file is made of whole pages; one cut short would end its tables
  // early without the library saying so.
  const auto pageSize = static_cast<std::uintmax_t>(handle_->mdb->fmt->pg_size);
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  if (error || size % pageSize != 0 || size < 2 * pageSize) damaged(path, "文件不完整 (长度不是整页)");
}

AccessFile::~AccessFile() = default;

namespace {

// MSysObjects, the catalogue, is the table whose definition is on page 2.
constexpr guint32 kCatalogPage = 2;
constexpr int kObjectTypeMask = 0x7f;
constexpr long kSystemObjectFlags = 0x80000002L;

int64_t wholeNumber(TableCursor& cursor, std::size_t column) {
  RawValue raw;
  cursor.value(column, raw);
  int64_t v = 0;
  for (std::size_t i = std::min<std::size_t>(raw.bytes.size(), 4); i-- > 0;)
    v = (v << 8) | static_cast<uint8_t>(raw.bytes[i]);
  if (raw.bytes.size() == 2) return static_cast<int16_t>(v);
  return static_cast<int32_t>(v);
}

std::size_t columnNamed(const AccessTable& table, const char* name, const std::string& path) {
  for (std::size_t i = 0; i < table.columns.size(); ++i)
    if (table.columns[i].name == name) return i;
  damaged(path, std::string("表的目录没有列 ") + name);
}

}  // namespace

// The catalogue is read here rather than by the library, which also parses
// each object's properties and can loop without end on damaged ones.
void AccessFile::readCatalog() {
  if (handle_->catalogRead) return;
  Entry catalog;
  catalog.entry.mdb = handle_->mdb.get();
  catalog.entry.object_type = MDB_TABLE;
  catalog.entry.table_pg = kCatalogPage;
  std::snprintf(catalog.entry.object_name, sizeof catalog.entry.object_name, "%s", "MSysObjects");
  const std::unique_ptr<TableCursor> cursor = cursorOn(catalog, "MSysObjects");
  const AccessTable& table = cursor->table();
  const std::size_t id = columnNamed(table, "Id", path_), name = columnNamed(table, "Name", path_);
  const std::size_t type = columnNamed(table, "Type", path_), flags = columnNamed(table, "Flags", path_);
  const bool utf16 = header_.version != JetVersion::Jet3;
  uint32_t rows = 0;
  RawValue raw;
  while (cursor->next()) {
    ++rows;
    if ((wholeNumber(*cursor, type) & kObjectTypeMask) != MDB_TABLE) continue;
    if (wholeNumber(*cursor, flags) & kSystemObjectFlags) continue;
    cursor->value(name, raw);
    std::string gb;
    if (utf16 ? !jet4Text(raw.bytes, gb) : !text::codePageToGb18030(jet3CodePage_, raw.bytes, gb))
      damaged(path_, "表名读不出");
    handle_->tables.push_back({gb, static_cast<guint32>(wholeNumber(*cursor, id) & 0x00ffffff)});
  }
  if (table.declaredRows != 0 && rows != table.declaredRows) damaged(path_, "表的目录不完整");
  handle_->catalogRead = true;
}

std::vector<std::string> AccessFile::userTables() {
  readCatalog();
  std::vector<std::string> names;
  for (const auto& t : handle_->tables) names.push_back(t.name);
  return names;
}

std::unique_ptr<TableCursor> AccessFile::openTable(const std::string& name) {
  readCatalog();
  for (const auto& t : handle_->tables) {
    if (t.name != name) continue;
    Entry& kept = *handle_->entries.emplace_back(std::make_unique<Entry>());
    kept.entry.mdb = handle_->mdb.get();
    kept.entry.object_type = MDB_TABLE;
    kept.entry.table_pg = t.page;
    std::snprintf(kept.entry.object_name, sizeof kept.entry.object_name, "%s", text::gb18030ToUtf8(name).c_str());
    return cursorOn(kept, name);
  }
  damaged(path_, "没有表 " + text::gb18030ToUtf8(name));
}

std::unique_ptr<TableCursor> AccessFile::cursorOn(Entry& entry, const std::string& name) {
  auto handle = std::make_unique<TableCursor::Handle>();
  handle->table.reset(mdb_read_table(&entry.entry));
  MdbTableDef* table = handle->table.get();
  if (!table || !mdb_read_columns(table) || table->num_cols == 0)
    damaged(path_, "表 " + text::gb18030ToUtf8(name) + " 的定义读不出");
  // The library reads the map of a table's pages without checking its size.
  constexpr std::size_t kUsageMapHeader = 5;
  if (!table->usage_map || table->map_sz < kUsageMapHeader)
    damaged(path_, "表 " + text::gb18030ToUtf8(name) + " 的页图读不出");
  AccessTable info;
  info.name = name;
  info.declaredRows = table->num_rows;
  for (guint i = 0; i < table->columns->len; ++i) {
    const auto* col = static_cast<MdbColumn*>(g_ptr_array_index(table->columns, i));
    info.columns.push_back({gbName(col->name), typeOf(col->col_type), col->col_type, col->col_prec, col->col_scale,
                            col->is_long_auto != 0});
  }
  // A damaged definition shows as columns without a name or with one name twice.
  std::set<std::string> names;
  for (const AccessColumn& c : info.columns)
    if (c.name.empty() ||
        !names.insert(QString::fromStdString(text::gb18030ToUtf8(c.name)).toLower().toStdString()).second)
      damaged(path_, "表 " + text::gb18030ToUtf8(name) + " 的列定义不完整");
  if (mdb_read_indices(table) && table->indices) {
    for (guint i = 0; i < table->indices->len; ++i) {
      const auto* index = static_cast<MdbIndex*>(g_ptr_array_index(table->indices, i));
      if (index->index_type != kPrimaryKeyIndex) continue;
      for (unsigned k = 0; k < index->num_keys && k < MDB_MAX_IDX_COLS; ++k) {
        const int column = index->key_col_num[k] - 1;
        if (column >= 0 && static_cast<std::size_t>(column) < info.columns.size())
          info.primaryKey.push_back(static_cast<std::size_t>(column));
      }
      break;
    }
  }
  mdb_rewind_table(table);
  handle->fields.resize(table->num_cols);
  return std::unique_ptr<TableCursor>(new TableCursor(*this, std::move(handle), std::move(info)));
}

TableCursor::TableCursor(AccessFile& file, std::unique_ptr<Handle> handle, AccessTable table)
    : file_(file), handle_(std::move(handle)), table_(std::move(table)) {}

TableCursor::~TableCursor() = default;

bool TableCursor::next() {
  MdbTableDef* table = handle_->table.get();
  if (!mdb_fetch_row(table)) return false;
  // The library has taken the row apart to fill bound columns, keeping no
  // null flags; it is taken apart again here to keep them.
  MdbHandle* mdb = table->entry->mdb;
  int start = 0;
  size_t size = 0;
  if (mdb_find_row(mdb, static_cast<int>(table->cur_row) - 1, &start, &size) != 0 ||
      mdb_crack_row(table, start & kOffsetMask, size, handle_->fields.data()) < 0)
    damaged(file_.path(), "表 " + text::gb18030ToUtf8(table_.name) + " 的一行无法读取");
  return true;
}

namespace {

// A memo or OLE value: inline in the row, on one page of long values, or in
// a chain of such pages. The chain is followed no further than the length
// the value declares, and never twice through one page.
void readLongValue(MdbHandle* mdb, const unsigned char* def, std::size_t defSize, std::string& out,
                   const std::string& path) {
  out.clear();
  if (defSize < kLongValueHeader) damaged(path, "长值的描述不完整");
  const uint32_t head = u32(def);
  const std::size_t length = head & 0x00ffffffU;
  const auto kind = static_cast<uint8_t>(head >> 24);
  if (kind == kLongValueInline) {
    out.assign(reinterpret_cast<const char*>(def) + kLongValueHeader, std::min(length, defSize - kLongValueHeader));
    return;
  }
  int pgRow = static_cast<int>(u32(def + 4));
  std::set<int> seen;
  while (out.size() < length) {
    if (pgRow == 0 || !seen.insert(pgRow).second) damaged(path, "长值的页链断了");
    void* buf = nullptr;
    int offset = 0;
    size_t size = 0;
    if (mdb_find_pg_row(mdb, pgRow, &buf, &offset, &size) != 0) damaged(path, "长值所在的页读不出");
    const auto* row = static_cast<const unsigned char*>(buf) + offset;
    if (kind == kLongValueOnePage) {
      out.append(reinterpret_cast<const char*>(row), std::min(size, length));
      break;
    }
    if (size < 4) damaged(path, "长值的页不完整");
    pgRow = static_cast<int>(u32(row));
    out.append(reinterpret_cast<const char*>(row) + 4, size - 4);
  }
  if (out.size() < length) damaged(path, "长值比记下的短");
  out.resize(length);
}

}  // namespace

void TableCursor::value(std::size_t i, RawValue& out) {
  const MdbField& field = handle_->fields.at(i);
  MdbHandle* mdb = handle_->table->entry->mdb;
  const AccessType type = table_.columns[i].type;
  if (type == AccessType::Boolean) {
    // A yes/no column keeps its value in the null bit: set means yes.
    out.null = false;
    out.bytes.assign(1, field.is_null ? '\0' : '\1');
    return;
  }
  out.null = field.is_null != 0;
  out.bytes.clear();
  if (out.null) return;
  // The library checks a value's end against its row's only; a damaged row
  // can still give a negative size.
  if (field.start < 0 || field.siz < 0 || field.start + field.siz > static_cast<int>(mdb->fmt->pg_size))
    damaged(file_.path(), "表 " + text::gb18030ToUtf8(table_.name) + " 的一个值超出了它的页");
  const unsigned char* at = mdb->pg_buf + field.start;
  const auto size = static_cast<std::size_t>(field.siz);
  if (type == AccessType::Memo || type == AccessType::OleObject) {
    if (size == 0) return;  // an empty memo
    // Following the chain replaces the page buffer's neighbour only, so the
    // row's own bytes stay where they are; they are copied first all the same.
    const std::string def(reinterpret_cast<const char*>(at), size);
    readLongValue(mdb, reinterpret_cast<const unsigned char*>(def.data()), def.size(), out.bytes, file_.path());
    return;
  }
  out.bytes.assign(reinterpret_cast<const char*>(at), size);
}

}  // namespace gz::migrate
