#include "db/payroll/dialect.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "db/sql_values.h"
#include "text/gb18030.h"

namespace gz::db {
namespace {

std::string gbk(const std::string& utf8) { return text::utf8ToGb18030(utf8); }

// Jet statements are complete texts: they must match the established texts
// byte for byte (GBK).
TEST(JetDialect, DepartmentStatementsMatchTheEstablishedTexts) {
  const Dialect* jet = &dialectFor(DialectKind::Jet);
  EXPECT_EQ(jet->countInstitutions().text, "select count(*) as cnt from dm_jg ");
  EXPECT_EQ(jet->selectInstitutions().text, "select * from dm_jg order by len(jgdm),jgdm");
  EXPECT_EQ(jet->selectDepartmentPeople("0102").text, "select * from ryjbxx where bm like '0102%'");

  const std::vector<Statement> del = jet->deleteDepartmentPeople("0102");
  const std::vector<std::string> expected = {
      "update ryrz a,ryjbxx b set a.mid=0 where a.mid=b.id and b.bm like '0102%'",
      "delete from ryrz where mid=0",
      "update rybdrz a,ryjbxx b set a.mid=0 where a.mid=b.id and b.bm like '0102%'",
      "delete from rybdrz where mid=0",
      "update rykh a,ryjbxx b set a.mid=0 where a.mid=b.id and b.bm like '0102%'",
      "delete from rykh where mid=0",
      "update ryxl a,ryjbxx b set a.mid=0 where a.mid=b.id and b.bm like '0102%'",
      "delete from ryxl where mid=0",
      "update ryjl a,ryjbxx b set a.mid=0 where a.mid=b.id and b.bm like '0102%'",
      "delete from ryjl where mid=0",
      "update ryjc a,ryjbxx b set a.mid=0 where a.mid=b.id and b.bm like '0102%'",
      "delete from ryjc where mid=0",
      "update rygzbhb  a,ryjbxx b set a.mid=0 where a.mid=b.id and b.bm like '0102%'",
      "delete from rygzbhb where mid=0",
      "delete from ryjbxx where bm like '0102%'",
  };
  ASSERT_EQ(del.size(), expected.size());
  for (std::size_t i = 0; i < del.size(); ++i) {
    EXPECT_EQ(del[i].text, expected[i]) << "statement " << i;
    EXPECT_TRUE(del[i].binds.empty());
  }
}

TEST(JetDialect, HistoryStatementsMatchTheWorkedExamples) {
  const Dialect* jet = &dialectFor(DialectKind::Jet);
  EXPECT_EQ(jet->insertEducation(57, true, "1990-07-1", "41")->text,
            gbk("insert into ryxl (mid,xxxs,xlrq,xldm) values (57,'全日制','1990-07-1','41')"));
  EXPECT_EQ(jet->insertEducation(57, false, "2001-12-1", "31")->text,
            gbk("insert into ryxl (mid,xxxs,xlrq,xldm) values (57,'在职','2001-12-1','31')"));
  EXPECT_EQ(jet->updateEducationYears(3, 57, "1993-07-1")->text,
            "update ryxl set dzysxl=3 where mid=57 and xlrq=#1993-07-1#");
  EXPECT_EQ(jet->insertEducationWithYears(57, true, "1993-07-1", "21", 3)->text,
            gbk("insert into ryxl (mid,xxxs,xlrq,xldm,dzysxl) values (57,'全日制','1993-07-1','21',3)"));
  EXPECT_EQ(jet->insertPosition(57, "1998-07-1", "31")->text,
            "insert into ryrz (mid,rzrq,rzzwdm,gzzwdm ) values (57,'1998-07-1','31','31')");
  EXPECT_EQ(jet->insertAssessment(57, 2006, "1")->text, "insert into rykh (mid,khnd,khjg ) values (57,2006,1)");
  // A date that is no date still goes to Access, which refuses it itself.
  EXPECT_EQ(jet->insertPosition(57, "19x3-07-1", "31")->text,
            "insert into ryrz (mid,rzrq,rzzwdm,gzzwdm ) values (57,'19x3-07-1','31','31')");
}

// A quote in a value must not end its literal: the statement stays one
// statement and the value arrives whole.
TEST(JetDialect, QuotesInValuesAreDoubled) {
  const Dialect* jet = &dialectFor(DialectKind::Jet);
  EXPECT_EQ(jet->selectDepartmentPeople("01'02").text, "select * from ryjbxx where bm like '01''02%'");
  EXPECT_EQ(jet->deleteDepartmentPeople("x' or '1'='1").back().text,
            "delete from ryjbxx where bm like 'x'' or ''1''=''1%'");
  EXPECT_EQ(jet->insertEducation(5, true, "1993-07-1", "2');drop table ryjbxx;--")->text,
            gbk("insert into ryxl (mid,xxxs,xlrq,xldm) values (5,'全日制','1993-07-1','2'');drop table ryjbxx;--')"));
  EXPECT_EQ(jet->insertPosition(5, "1998-07-1", "O'K")->text,
            "insert into ryrz (mid,rzrq,rzzwdm,gzzwdm ) values (5,'1998-07-1','O''K','O''K')");
  // Quote or # inside a date text could end the literal: such a date is never a date.
  EXPECT_FALSE(jet->insertEducation(5, true, "19'3-07-1", "21"));
  EXPECT_FALSE(jet->updateEducationYears(3, 5, "19#3-07-1"));
  EXPECT_FALSE(jet->insertEducationWithYears(5, true, "19'3-07-1", "21", 3));
  EXPECT_FALSE(jet->insertPosition(5, "19'3-07-1", "31"));
}

// An update by identity number writes the sheet's columns over one person
// and clears its replaced histories; a quote in a value stays inside it.
TEST(Dialects, PersonUpdateStatements) {
  Row columns;
  columns.set("xm", gbk("张'三"));
  columns.set("sfzh", std::string("110101196503010011"));
  columns.set("csny", Date{1965, 3, 1});
  columns.set("kjgl", int64_t{-6});
  columns.set("xb", std::monostate{});
  columns.set("dzysxl", 11.0);
  struct Case {
    const char* name;
    DialectKind kind;
    std::string update;
    std::string clear;
  };
  const std::string standard =
      gbk("update ryjbxx set xm='张''三',sfzh='110101196503010011',csny='1965-03-01',kjgl=-6,xb=null,dzysxl=11 where "
          "id=57");
  const Case cases[] = {
      {"Jet writes the values into the text", DialectKind::Jet, standard, "delete from ryrz where mid=57"},
      {"SQLite binds them", DialectKind::Sqlite, standard, "delete from ryrz where mid=57"},
      {"PostgreSQL binds them", DialectKind::Postgres, standard, "delete from ryrz where mid=57"},
  };
  for (const Case& c : cases) {
    const Dialect& d = dialectFor(c.kind);
    const Statement update = d.updatePerson(57, columns);
    EXPECT_EQ(renderStatement(update), c.update) << c.name;
    EXPECT_EQ(update.binds.empty(), c.kind == DialectKind::Jet) << c.name;
    EXPECT_EQ(renderStatement(d.deletePersonRows("ryrz", 57)), c.clear) << c.name;
  }
}

TEST(Dialects, UnquotedAssessmentCodeMustBeAPlainNumber) {
  struct Case {
    const char* code;
    bool accepted;
  };
  const std::vector<Case> cases = {
      {"1", true},   {"12", true},   {"-3", true},
      {"+2", true},  {"1.5", true},  {"", false},
      {"a", false},  {"1)", false},  {"1;drop table rykh", false},
      {"1.", false}, {".5", false},  {"1e3", false},
      {" 1", false}, {"--1", false},
  };
  for (DialectKind kind : {DialectKind::Jet, DialectKind::Sqlite, DialectKind::Postgres}) {
    const Dialect* d = &dialectFor(kind);
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.code) + " kind " + std::to_string(int(kind)));
      EXPECT_EQ(d->insertAssessment(57, 2006, c.code).has_value(), c.accepted);
    }
  }
}

TEST(StandardDialects, StatementsBindTheirValues) {
  for (DialectKind kind : {DialectKind::Sqlite, DialectKind::Postgres}) {
    const Dialect* d = &dialectFor(kind);
    EXPECT_EQ(renderStatement(d->selectDepartmentPeople("0102")), "select * from ryjbxx where bm like '0102%'");
    const auto del = d->deleteDepartmentPeople("01'02");
    ASSERT_EQ(del.size(), 15u);
    EXPECT_EQ(renderStatement(del[0]),
              "update ryrz set mid=0 where mid in (select id from ryjbxx where bm like '01''02%')");
    EXPECT_EQ(del[0].binds, std::vector<Value>{Value(std::string("01'02%"))});
    EXPECT_EQ(renderStatement(del[13]), "delete from rygzbhb where mid=0");
    EXPECT_EQ(renderStatement(del[14]), "delete from ryjbxx where bm like '01''02%'");
    EXPECT_EQ(renderStatement(*d->insertEducation(57, true, "1993-07-1", "21")),
              gbk("insert into ryxl (mid,xxxs,xlrq,xldm) values (57,'全日制','1993-07-01','21')"));
    EXPECT_EQ(renderStatement(*d->updateEducationYears(3, 57, "1993-07-1")),
              "update ryxl set dzysxl=3 where mid=57 and xlrq='1993-07-01'");
    EXPECT_EQ(renderStatement(*d->insertEducationWithYears(57, true, "1993-07-1", "21", 3)),
              gbk("insert into ryxl (mid,xxxs,xlrq,xldm,dzysxl) values (57,'全日制','1993-07-01','21',3)"));
    EXPECT_EQ(renderStatement(*d->insertPosition(57, "1998-07-1", "31")),
              "insert into ryrz (mid,rzrq,rzzwdm,gzzwdm) values (57,'1998-07-01','31','31')");
    const auto assessment = d->insertAssessment(57, 2006, "1");
    EXPECT_EQ(renderStatement(*assessment), "insert into rykh (mid,khnd,khjg) values (57,2006,1)");
    EXPECT_EQ(assessment->binds[2], Value(int64_t(1)));
    EXPECT_EQ(d->insertAssessment(57, 2006, "1.5")->binds[2], Value(1.5));
  }
  EXPECT_EQ(dialectFor(DialectKind::Sqlite).selectInstitutions().text,
            "select * from dm_jg order by length(jgdm),jgdm");
  EXPECT_EQ(dialectFor(DialectKind::Postgres).selectInstitutions().text,
            "select * from dm_jg order by length(jgdm),jgdm collate \"C\"");
}

// The import's date texts are year-month-1 with the month as the sheet gave
// it; only real calendar dates are stored.
TEST(StandardDialects, DatesAreStoredOnlyWhenTheyAreRealDates) {
  struct Case {
    const char* text;
    bool valid;
    Date date;
  };
  const std::vector<Case> cases = {
      {"1993-07-1", true, {1993, 7, 1}},
      {"1993-1-1", true, {1993, 1, 1}},
      {"1900-01-1", true, {1900, 1, 1}},
      {"2100-12-1", true, {2100, 12, 1}},
      {"2000-02-29", true, {2000, 2, 29}},
      {"1900-02-29", false, {}},
      {"19x3-07-1", false, {}},
      {"1993-13-1", false, {}},
      {"1993-00-1", false, {}},
      {"1993--1", false, {}},
      {"1993-07-1-1", false, {}},
      {"199-07-1", false, {}},
      {"", false, {}},
      {"1993-0\xB0-1", false, {}},
  };
  const Dialect* d = &dialectFor(DialectKind::Sqlite);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const auto insert = d->insertPosition(1, c.text, "31");
    const auto update = d->updateEducationYears(1, 1, c.text);
    const auto education = d->insertEducation(1, true, c.text, "21");
    const auto withYears = d->insertEducationWithYears(1, true, c.text, "21", 3);
    ASSERT_EQ(insert.has_value(), c.valid);
    EXPECT_EQ(update.has_value(), c.valid);
    EXPECT_EQ(education.has_value(), c.valid);
    EXPECT_EQ(withYears.has_value(), c.valid);
    if (c.valid) {
      EXPECT_EQ(insert->binds[1], Value(c.date));
    }
  }
}

// Which rows the years update would reach: the dialect tells the days apart
// where it can read both texts; Access reads any other text by its own rules.
TEST(Dialects, SameDateComparesDaysNotTexts) {
  struct Row {
    const char* name;
    const char* a;
    const char* b;
    std::optional<bool> standard, jet;
  } rows[] = {
      {"equal texts", "1993-07-1", "1993-07-1", true, true},
      {"one day written two ways", "1993-01-1", "1993-1-1", true, true},
      {"different months", "1993-07-1", "1993-08-1", false, false},
      {"a text that is no date", "19x3-07-1", "19x3-07-1", false, std::nullopt},
      {"a blank in the month", "1993-1 -1", "1993-01-1", false, std::nullopt},
  };
  const Dialect* standard = &dialectFor(DialectKind::Sqlite);
  const Dialect* jet = &dialectFor(DialectKind::Jet);
  for (const Row& r : rows) {
    EXPECT_EQ(standard->sameDate(r.a, r.b), r.standard) << r.name;
    EXPECT_EQ(jet->sameDate(r.a, r.b), r.jet) << r.name;
  }
}

TEST(RenderStatement, WritesEachKindOfValueAsALiteral) {
  const Statement s{"values (?,?,?,?,?)", {std::monostate{}, int64_t(-4), 3.06, std::string("a'b"), Date{1965, 3, 1}}};
  EXPECT_EQ(renderStatement(s), "values (null,-4,3.06,'a''b','1965-03-01')");
}

}  // namespace
}  // namespace gz::db

namespace gz::db {
namespace {

TEST(JetDialect, WholeRowStatementsWriteTheirValuesIn) {
  const Dialect* jet = &dialectFor(DialectKind::Jet);
  const std::vector<Statement> reads = jet->selectRowsToDelete("01'2");
  ASSERT_EQ(reads.size(), 8u);
  EXPECT_EQ(reads[0].text, "select * from ryrz where mid in (select id from ryjbxx where bm like '01''2%') or mid=0");
  EXPECT_EQ(reads[6].text,
            "select * from rygzbhb where mid in (select id from ryjbxx where bm like '01''2%') or mid=0");
  EXPECT_EQ(reads[7].text, "select * from ryjbxx where bm like '01''2%'");
  EXPECT_FALSE(jet->takeWriteLock());

  Row row;
  row.set("id", int64_t{12});
  row.set("xm", std::string("O'Neil"));
  row.set("csny", Date{1965, 3, 1});
  row.set("bh", std::monostate{});
  Row key;
  key.set("id", int64_t{12});
  Row keyless;
  keyless.set("mid", int64_t{3});
  keyless.set("khjg", std::monostate{});
  const WholeRows how = jet->wholeRows();
  struct Case {
    const char* name;
    Statement statement;
    const char* text;
  };
  const Case cases[] = {
      {"rows of people", how.selectIn("ryxl", "mid", {4, 5}), "select * from ryxl where mid in (4,5)"},
      {"rows of a range of people", how.selectBetween("ryxl", "mid", 4, 9),
       "select * from ryxl where mid between 4 and 9"},
      {"row by key", how.selectMatching("ryjbxx", key), "select * from ryjbxx where id=12"},
      {"row without key", how.deleteMatching("rykh", keyless), "delete from rykh where mid=3 and khjg is null"},
      {"rows by key", how.deleteIn("rykh", "id", {7, 9}), "delete from rykh where id in (7,9)"},
      {"put back", how.insertWhole("ryjbxx", row),
       "insert into ryjbxx (id,xm,csny,bh) values (12,'O''Neil',#1965-03-01#,null)"},
      {"set again, its key left alone", how.updateMatching("ryjbxx", row, key),
       "update ryjbxx set xm='O''Neil',csny=#1965-03-01#,bh=null where id=12"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.statement.text, c.text) << c.name;
    EXPECT_TRUE(c.statement.binds.empty()) << c.name;
  }
}

TEST(StandardDialects, WholeRowStatementsBindTheirValues) {
  Row row;
  row.set("id", int64_t{12});
  row.set("xm", std::string("a"));
  struct Case {
    const char* name;
    DialectKind kind;
    const char* insert;
  };
  const Case cases[] = {
      {"SQLite", DialectKind::Sqlite, "insert into ryjbxx (id,xm) values (?,?)"},
      {"PostgreSQL also into identity columns", DialectKind::Postgres,
       "insert into ryjbxx (id,xm) overriding system value values (?,?)"},
  };
  for (const Case& c : cases) {
    const Statement s = dialectFor(c.kind).wholeRows().insertWhole("ryjbxx", row);
    EXPECT_EQ(s.text, c.insert) << c.name;
    EXPECT_EQ(s.binds.size(), 2u) << c.name;
  }
  Row odd;
  odd.set("x; drop table ryjbxx", int64_t{1});
  EXPECT_THROW(dialectFor(DialectKind::Sqlite).wholeRows().insertWhole("ryjbxx", odd), DbError);
}

}  // namespace
}  // namespace gz::db
