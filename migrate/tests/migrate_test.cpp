// Public Access test databases copied into SQLite and PostgreSQL, every
// value compared with what the files are documented to hold.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "db/tests/backends.h"
#include "migrate/access_error.h"
#include "migrate/access_file.h"
#include "migrate/migration.h"
#include "migrate/tests/fixture_files.h"
#include "text/gb18030.h"

namespace gz::migrate {
namespace {

using db::testing::BackendNames;
using db::testing::PostgresBackend;
using db::testing::SqliteBackend;
using testing::FixtureFiles;

class QuietListener final : public MigrateListener {
 public:
  void tableDone(const TableReport& r) override { reports.push_back(r); }
  std::vector<TableReport> reports;
};

// A cell read back as the target's text of it; "NULL" for null.
std::string cellText(db::Connection& c, const std::string& table, const std::string& column, const std::string& where) {
  const bool pg = c.dialectKind() == db::DialectKind::Postgres;
  const std::string col = "\"" + column + "\"";
  // Bytes as upper-case hexadecimal digits, everything else as its text.
  const std::string expr = column.rfind("hex:", 0) == 0 ? (pg ? "upper(encode(\"" + column.substr(4) + "\",'hex'))"
                                                              : "hex(\"" + column.substr(4) + "\")")
                                                        : "cast(" + col + " as text)";
  auto rows = c.query(db::Statement("select " + expr + " as v from \"" + table + "\" where " + where));
  if (!rows->next()) return "(no row)";
  const db::Value v = rows->value("v");
  if (std::holds_alternative<std::monostate>(v)) return "NULL";
  return text::gb18030ToUtf8(rows->text("v"));
}

template <typename Backend>
class MigrateFixtures : public ::testing::Test {
 protected:
  // A new empty database with `file`'s tables copied into it.
  std::unique_ptr<db::Connection> migrated(const std::string& file, const char* password = nullptr) {
    backends_.push_back(std::make_unique<Backend>());
    std::string skip;
    auto c = backends_.back()->open(&skip);
    if (!c) return nullptr;
    AccessFile access(files_.path(file), 936);
    if (password) EXPECT_TRUE(passwordOpens(access.header(), password));
    QuietListener listener;
    const auto reports = migrateTables(access, *c, MigrateOptions{}, listener);
    for (const TableReport& r : reports) EXPECT_EQ(r.rowsRead, r.rowsWritten) << file << " " << r.name;
    return c;
  }
  std::string skipReason() {
    Backend b;
    std::string skip;
    if (!b.open(&skip)) return skip;
    return {};
  }

  FixtureFiles files_;
  std::vector<std::unique_ptr<Backend>> backends_;
};

using Targets = ::testing::Types<SqliteBackend, PostgresBackend>;
TYPED_TEST_SUITE(MigrateFixtures, Targets, BackendNames);

TYPED_TEST(MigrateFixtures, EveryDocumentedValueArrives) {
  if (const std::string skip = this->skipReason(); !skip.empty()) GTEST_SKIP() << skip;
  struct Row {
    const char* name;
    const char* file;
    const char* table;
    const char* column;
    const char* where;
    const char* sqlite;
    const char* postgres;  // null: as on SQLite
  };
  const Row rows[] = {
      {"Jet 3 text", "testV1997.mdb", "Table1", "B", "\"A\"='abcdefg'", "hijklmnop", nullptr},
      {"Jet 3 byte", "testV1997.mdb", "Table1", "C", "\"A\"='abcdefg'", "2", nullptr},
      {"Jet 3 integer", "testV1997.mdb", "Table1", "D", "\"A\"='abcdefg'", "222", nullptr},
      {"Jet 3 long integer", "testV1997.mdb", "Table1", "E", "\"A\"='abcdefg'", "333333333", nullptr},
      {"Jet 3 double", "testV1997.mdb", "Table1", "F", "\"A\"='abcdefg'", "444.555", nullptr},
      {"Jet 3 date", "testV1997.mdb", "Table1", "G", "\"A\"='abcdefg'", "1974-09-21 00:00:00", nullptr},
      {"Jet 3 second date", "testV1997.mdb", "Table1", "G", "\"A\"='a'", "1981-12-12 00:00:00", nullptr},
      {"Jet 3 currency", "testV1997.mdb", "Table1", "H", "\"A\"='abcdefg'", "3.5000", nullptr},
      {"Jet 3 yes", "testV1997.mdb", "Table1", "I", "\"A\"='abcdefg'", "1", "true"},
      {"Jet 3 no", "testV1997.mdb", "Table1", "I", "\"A\"='a'", "0", "false"},
      {"compressed Latin text", "testUnicodeCompV2003.mdb", "Table", "Unicode", "\"ID\"=2", "ääkkösiä", nullptr},
      {"Cyrillic", "testUnicodeCompV2003.mdb", "Table", "Unicode", "\"ID\"=3", "Мир", nullptr},
      // Polytonic Greek, its accents as the file holds them (U+1F79, U+1F7B).
      {"Greek", "testUnicodeCompV2003.mdb", "Table", "Unicode", "\"ID\"=4",
       "\u03f0\u03b1\u1f76 \u03c4\u1f79\u03c4' \u1f10\u03b3\u1f7c \u039a\u1f7b\u03f0\u03bb\u03c9\u03c0\u03b1", nullptr},
      {"CJK", "testUnicodeCompV2003.mdb", "Table", "Unicode", "\"ID\"=5", "漢字仮名交じり文", nullptr},
      {"date of 1582", "oldDatesV2007.accdb", "Table1", "DateField", "\"ID\"=2", "1582-10-14 00:00:00", nullptr},
      {"date of 1392", "oldDatesV2007.accdb", "Table1", "DateField", "\"ID\"=4", "1392-01-10 00:00:00", nullptr},
      {"memo", "test2V2003.mdb", "MSP_PROJECTS", "PROJ_PROP_COMPANY", "\"PROJ_ID\"=1", "T", nullptr},
      {"null text", "test2V2003.mdb", "MSP_PROJECTS", "PROJ_PROP_CATEGORY", "\"PROJ_ID\"=1", "NULL", nullptr},
      {"text", "test2V2003.mdb", "MSP_PROJECTS", "PROJ_INFO_CAL_NAME", "\"PROJ_ID\"=1", "Standard", nullptr},
      {"a date with its time", "test2V2003.mdb", "MSP_PROJECTS", "PROJ_LAST_SAVED", "\"PROJ_ID\"=1",
       "2006-02-03 22:11:00", nullptr},
      {"table of a password-protected file", "V2003_with-password.mdb", "Table1", "Data", "\"ID\"=3", "Three", nullptr},
  };
  for (const Row& r : rows) {
    auto c = this->migrated(r.file, std::string(r.file).find("password") != std::string::npos ? "password" : nullptr);
    ASSERT_TRUE(c) << r.name;
    const bool pg = c->dialectKind() == db::DialectKind::Postgres;
    EXPECT_EQ(cellText(*c, r.table, r.column, r.where), pg && r.postgres ? r.postgres : r.sqlite) << r.name;
  }
}

TYPED_TEST(MigrateFixtures, LongValuesAndCharactersBeyondTheBasicPlaneArriveWhole) {
  if (const std::string skip = this->skipReason(); !skip.empty()) GTEST_SKIP() << skip;
  // A value of 22,970 bytes kept on a chain of pages: the library's bound
  // buffer (16 KB) would cut it.
  auto project = this->migrated("test2V2003.mdb");
  ASSERT_TRUE(project);
  const std::string expected = this->files_.read("test2BinData.dat");
  std::string hex;
  for (const unsigned char b : expected) {
    static const char* digits = "0123456789ABCDEF";
    hex += digits[b >> 4];
    hex += digits[b & 15];
  }
  EXPECT_EQ(cellText(*project, "MSP_PROJECTS", "hex:RESERVED_BINARY_DATA", "\"PROJ_ID\"=1"), hex);
  EXPECT_EQ(cellText(*project, "MSP_PROJECTS", "PROJ_PROP_AUTHOR", "\"PROJ_ID\"=1"),
            "Jon Iles this is a a vawesrasoih aksdkl fas dlkjflkasjd flkjaslkdjflkajlksj dfl lkasjdf lkjaskldfj lkas "
            "dlk lkjsjdfkl; aslkdf lkasjkldjf lka skldf lka sdkjfl;kasjd falksjdfljaslkdjf laskjdfk jalskjd flkj "
            "aslkdjflkjkjasljdflkjas jf;lkasjd fjkas dasdf asd fasdf asdf asdmhf lksaiyudfoi jasodfj902384jsdf9 aw90se "
            "fisajldkfj lkasj dlkfslkd jflksjadf as");

  // Each row holds "a", the character its key numbers, and "a".
  auto emoji = this->migrated("testEmoticonsV2010.accdb");
  ASSERT_TRUE(emoji);
  auto rows = emoji->query(db::Statement("select \"key\", \"data\" from \"data\""));
  int count = 0;
  while (rows->next()) {
    ++count;
    std::string expectedText = "a";
    text::appendUtf8(static_cast<char32_t>(rows->integer("key")), expectedText);
    expectedText += "a";
    EXPECT_EQ(text::gb18030ToUtf8(rows->text("data")), expectedText) << rows->integer("key");
  }
  EXPECT_EQ(count, 80);
}

class MigrateRefusals : public ::testing::Test {
 protected:
  std::unique_ptr<db::Connection> target() {
    return db::createSqliteDatabase(files_.write("target" + std::to_string(++targets_), "") + ".db");
  }
  int targets_ = 0;
  static std::optional<AccessFault> faultOf(const std::function<void()>& work) {
    try {
      work();
    } catch (const AccessError& e) {
      EXPECT_NE(std::string(e.what()), "");
      return e.fault();
    }
    return std::nullopt;
  }
  FixtureFiles files_;
};

TEST_F(MigrateRefusals, FilesThatCannotBeReadAreNamedForWhatTheyAre) {
  struct Row {
    const char* name;
    std::function<std::string(FixtureFiles&)> file;
    AccessFault fault;
  };
  const Row rows[] = {
      {"missing", [](FixtureFiles& f) { return f.write("x", "") + ".missing"; }, AccessFault::NotFound},
      {"a text file", [](FixtureFiles& f) { return f.write("notes.mdb", "not a database at all\n"); },
       AccessFault::NotAccess},
      {"Office-encrypted", [](FixtureFiles& f) { return f.path("office-agile-4.4-head.accdb"); },
       AccessFault::Encrypted},
      {"only the header page",
       [](FixtureFiles& f) { return f.write("cut.mdb", f.read("testV1997.mdb").substr(0, 2048)); },
       AccessFault::Damaged},
      {"cut inside a page",
       [](FixtureFiles& f) { return f.write("cut2.mdb", f.read("test2V2003.mdb").substr(0, 60000)); },
       AccessFault::Damaged},
      {"cut after its catalogue, at a page's end",
       [](FixtureFiles& f) { return f.write("cut3.mdb", f.read("test2V2003.mdb").substr(0, 57344)); },
       AccessFault::Damaged},
  };
  for (const Row& r : rows) {
    auto c = target();
    QuietListener listener;
    const auto fault = faultOf([&] {
      AccessFile file(r.file(files_), 936);
      migrateTables(file, *c, MigrateOptions{}, listener);
    });
    EXPECT_EQ(fault, r.fault) << r.name;
    EXPECT_TRUE(listener.reports.empty()) << r.name;
  }
}

TEST_F(MigrateRefusals, TheDatabasePasswordIsCheckedBeforeAnythingIsRead) {
  AccessFile file(files_.path("V2003_with-password.mdb"), 936);
  EXPECT_EQ(file.header().password, "password");
  EXPECT_FALSE(passwordOpens(file.header(), ""));
  EXPECT_FALSE(passwordOpens(file.header(), "Password"));
  EXPECT_TRUE(passwordOpens(file.header(), "password"));
  AccessFile open(files_.path("testV1997.mdb"), 936);
  EXPECT_TRUE(open.header().password.empty());
  EXPECT_TRUE(passwordOpens(open.header(), "anything"));
}

TEST_F(MigrateRefusals, ATableTheTargetHasIsReplacedOnlyWhenAsked) {
  auto c = target();
  c->execute(db::Statement("create table \"Table2\" (x integer)"));
  c->execute(db::Statement("insert into \"Table2\" values (7)"));
  AccessFile file(files_.path("testV1997.mdb"), 936);
  QuietListener listener;
  EXPECT_EQ(faultOf([&] { migrateTables(file, *c, MigrateOptions{}, listener); }), AccessFault::TargetExists);
  // Refused before anything was written: no table of the file is there.
  EXPECT_FALSE(c->tryExecute(db::Statement("select * from \"Table1\" where 1=0")));
  EXPECT_EQ(faultOf([&] { migrateTables(file, *c, MigrateOptions{{"NoSuchTable"}, false, 936}, listener); }),
            AccessFault::NoSuchTable);
  migrateTables(file, *c, MigrateOptions{{"Table2", "Table1"}, true, 936}, listener);
  ASSERT_EQ(listener.reports.size(), 2u);
  EXPECT_EQ(listener.reports[0].name, "Table2");
  EXPECT_EQ(listener.reports[1].rowsWritten, 2u);
  EXPECT_FALSE(c->tryExecute(db::Statement("select x from \"Table2\"")));
}

}  // namespace
}  // namespace gz::migrate
