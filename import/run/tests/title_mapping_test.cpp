// Mapping titles: the operator's choice of column for each field, given
// ahead or asked of the front end, used by the run, and kept in titles.txt
// so that the next roster of that form is recognised by itself.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "codes/code_map.h"
#include "codes/dm_file.h"
#include "import/run/import_run.h"
#include "import/shared/column_map.h"
#include "import/shared/tests/fakes.h"
#include "import/shared/title_mapping.h"
#include "import/shared/titles_file.h"

namespace gz::imp {
namespace {

using namespace testing;
using Lines = std::vector<std::string>;
using Rows = std::vector<std::vector<Cell>>;

constexpr double kBorn = 23802;     // 1965-03-01
constexpr double kOtherDay = 27061;  // 1974-02-01
constexpr double kStarted = 31260;  // 1985-08-01

std::vector<Cell> person(const char* name) {
  return {"1", name, Cell::date(kOtherDay), Cell::date(kBorn), Cell::date(kStarted), "干部"};
}

// A front end that maps titles as the window does: it records each offer
// ("mapping: <rows> <title>@<column>, ... | <field>=<column>, ...") and
// answers with `answer` (cancelled when not set); the titles a run reads by
// are recorded as the import lines the window shows.
class MappingFrontend : public RecordingFrontend {
 public:
  bool mapsTitles() const override { return true; }
  std::optional<TitleMapping> mapTitles(const TitleOffer& offer) override {
    std::string line = "mapping: " + U(rowsLabel(offer.preset.rows));
    for (const SheetTitle& t : offer.titles) line += " " + U(t.text) + "@" + std::to_string(t.column);
    line += " |";
    for (std::string_view field : mappedFields())
      if (offer.preset.column(field) != 0) line += " " + U(field) + "=" + std::to_string(offer.preset.column(field));
    events.push_back(line);
    offered = offer;
    return answer ? answer(offer) : std::nullopt;
  }
  void titlesMapped(const FoundHeader& header) override {
    for (const std::string& line : foundHeaderLines(header)) events.push_back("import: " + U(line));
  }
  // Sets `field` (UTF-8) to `column` in the preset.
  static std::function<std::optional<TitleMapping>(const TitleOffer&)> presetWith(
      std::vector<std::pair<const char*, int32_t>> changes) {
    return [changes](const TitleOffer& offer) {
      TitleMapping m = offer.preset;
      for (const auto& [field, column] : changes) m.columns[fieldNamed(G(field))] = column;
      return std::optional(m);
    };
  }

  std::function<std::optional<TitleMapping>(const TitleOffer&)> answer;
  TitleOffer offered;
};

class MappedRun : public ::testing::Test {
 protected:
  void SetUp() override {
    request.departmentCode = "0102";
    request.workbookPath = GZ_SOURCE_DIR "/CMakeLists.txt";  // any existing file: the sheet comes from `rows`
  }
  ImportOutcome run(Frontend& f) {
    return AInputExecute(conn, codes, columns, f, request, [this](const std::string&) { return fakeWorkbook(rows); });
  }
  Lines persons() const {
    Lines out;
    for (const auto& w : conn.committed)
      if (w.rfind("person", 0) == 0) out.push_back(w);
    return out;
  }
  std::optional<db::Value> stored(const char* name) const {
    return conn.persons.empty() ? std::nullopt : column(conn.persons.front(), name);
  }
  void choose(const std::vector<std::pair<const char*, const char*>>& choices) {
    for (const auto& [field, title] : choices) request.titleChoices.push_back({G(field), G(title)});
  }

  Rows rows;
  codes::CodeMap codes;
  ColumnMap columns;
  FakeConnection conn;
  ImportRequest request;
};

TEST_F(MappedRun, TitlesChosenAheadAreReadWithoutAQuestion) {
  struct Row {
    const char* name;
    std::vector<Cell> header;
    std::vector<std::pair<const char*, const char*>> choices;
    RunEnd end;
    Lines importLines;             // the first lines of the import pane
    std::optional<db::Value> csny;  // as stored, when the run stores
  };
  const Row cases[] = {
      {"a name the tool does not know",
       {"序号", "姓名", "入学时间", "生日", "参加工作时间", "个人身份"},
       {{"出生年月", "生日"}},
       RunEnd::Completed,
       {"工作表: Sheet1", "标题在第1行", "第1行第4列\"生日\"作为出生年月", "数据行: 第2行至第2行"},
       db::Value(db::Date{1965, 3, 1})},
      {"a chosen column over the one the sheet names so",
       {"序号", "姓名", "出生年月", "生日", "参加工作时间", "个人身份"},
       {{"出生年月", "生日"}},
       RunEnd::Completed,
       {"工作表: Sheet1", "标题在第1行", "第1行第4列\"生日\"作为出生年月", "数据行: 第2行至第2行"},
       db::Value(db::Date{1965, 3, 1})},
      {"the title written with blanks, the field in full-width brackets",
       {"序号", "姓名", "入学时间", "生  日", "参加工作时间", "个人身份"},
       {{"出生年月", "生日"}, {"工龄调整（月）", "序号"}},
       RunEnd::Completed,
       {"工作表: Sheet1", "标题在第1行", "第1行第1列\"序号\"作为工龄调整(月)", "第1行第4列\"生  日\"作为出生年月",
        "数据行: 第2行至第2行"},
       db::Value(db::Date{1965, 3, 1})},
      {"a title the header lacks",
       {"序号", "姓名", "入学时间", "生辰", "参加工作时间", "个人身份"},
       {{"出生年月", "生日"}},
       RunEnd::LayoutRejected,
       {"第1行没有标题\"生日\",不能用作出生年月"},
       std::nullopt},
      {"a required field still without a column",
       {"序号", "姓名", "入学时间", "生日", "参加工作时间", "身份类别"},
       {{"出生年月", "生日"}},
       RunEnd::LayoutRejected,
       {"XLS数据格式不配置!不能导入", "第1行缺少所需的标题: 个人身份"},
       std::nullopt},
  };
  for (const Row& c : cases) {
    conn = FakeConnection();
    rows = {c.header, person("张三")};
    request.titleChoices.clear();
    choose(c.choices);
    MappingFrontend frontend;  // would cancel a question
    const ImportOutcome o = run(frontend);
    EXPECT_EQ(o.end, c.end) << c.name;
    const Lines pane = frontend.only("import");
    EXPECT_EQ(Lines(pane.begin(), pane.begin() + std::min(pane.size(), c.importLines.size())), c.importLines) << c.name;
    EXPECT_EQ(stored("csny"), c.csny) << c.name;
  }
}

TEST_F(MappedRun, ChoicesFindAHeaderBelowRowOne) {
  rows = {{"人员花名册"}, {"序号", "姓名", "入学时间", "生日", "入职时间", "职工身份"}, person("张三"), person("李四")};
  choose({{"出生年月", "生日"}, {"参加工作时间", "入职时间"}, {"个人身份", "职工身份"}});
  MappingFrontend frontend;
  const ImportOutcome o = run(frontend);
  EXPECT_EQ(o.end, RunEnd::Completed);
  EXPECT_EQ(persons(), (Lines{"person 张三", "person 李四"}));
  EXPECT_EQ(frontend.only("import")[1], "标题在第2行");
  EXPECT_EQ(stored("gzsj"), db::Value(db::Date{1985, 8, 1}));
}

TEST_F(MappedRun, TheFrontEndIsAskedWhereTheHeaderLacksATitleOrOnlyGuessesOne) {
  struct Row {
    const char* name;
    std::vector<Cell> header;
    bool ownName;  // 生日 is the operator's name for 出生年月
    const char* offer;  // the mapping offered, "" when not asked
    bool foundQuestion;
  };
  const Row cases[] = {
      {"a required title missing",
       {"序号", "姓名", "入学时间", "生日", "参加工作时间", "职工身份"},
       false,
       "mapping: 第1行 序号@1 姓名@2 入学时间@3 生日@4 参加工作时间@5 职工身份@6 | 姓名=2 参加工作时间=5 序号=1",
       false},
      {"a required title under a built-in other name",
       {"编号", "姓名", "入学时间", "出生日期", "参加工作时间", "个人身份"},
       false,
       "mapping: 第1行 编号@1 姓名@2 入学时间@3 出生日期@4 参加工作时间@5 个人身份@6 | 姓名=2 出生年月=4 "
       "参加工作时间=5 个人身份=6 序号=1",
       false},
      {"a required title under the operator's own name",
       {"序号", "姓名", "入学时间", "生日", "参加工作时间", "个人身份"},
       true,
       "",
       true},
      {"only an optional title under another name",
       {"编号", "姓名", "入学时间", "出生年月", "参加 工作时间", "个人身份"},
       false,
       "",
       true},
      {"row 1 as the import reads it",
       {"序号", "姓名", "入学时间", "出生年月", "参加工作时间", "个人身份"},
       false,
       "",
       false},
      {"a note, no header to map", {"本表为人员花名册", "", "", "填报日期"}, false, "", false},
  };
  for (const Row& c : cases) {
    rows = {c.header, person("张三")};
    request.titleNames = TitleNames();
    if (c.ownName) request.titleNames.add(G("出生年月"), G("生日"));
    MappingFrontend frontend;  // cancels
    run(frontend);
    Lines asked;
    for (const std::string& e : frontend.events)
      if (e.rfind("mapping:", 0) == 0) asked.push_back(e);
    EXPECT_EQ(asked, *c.offer ? Lines{c.offer} : Lines{}) << c.name;
    const bool found = std::any_of(frontend.events.begin(), frontend.events.end(),
                                   [](const std::string& e) { return e.rfind("found:", 0) == 0; });
    EXPECT_EQ(found, c.foundQuestion) << c.name;
  }
}

TEST_F(MappedRun, TheOperatorsMappingIsReadAndCancellingWritesNothing) {
  struct Row {
    const char* name;
    std::vector<std::pair<const char*, int32_t>> changes;  // to the preset
    bool cancel;
    RunEnd end;
    Lines importLines;  // the first lines of the import pane
    bool serialStored;
  };
  const Lines mapped = {"工作表: Sheet1",
                        "标题在第1行",
                        "第1行第4列\"生日\"作为出生年月",
                        "第1行第6列\"职工身份\"作为个人身份",
                        "数据行: 第2行至第2行",
                        "正在删除旧数据!",
                        "XLS相配置!准备导入",
                        "张三"};
  const Row cases[] = {
      {"the missing titles chosen", {{"出生年月", 4}, {"个人身份", 6}}, false, RunEnd::Completed, mapped, true},
      {"a field left without its column",
       {{"出生年月", 4}, {"个人身份", 6}, {"序号", 0}},
       false,
       RunEnd::Completed,
       mapped,
       false},
      {"cancelled",
       {},
       true,
       RunEnd::LayoutRejected,
       {"XLS数据格式不配置!不能导入", "第1行缺少所需的标题: 出生年月、个人身份"},
       false},
  };
  for (const Row& c : cases) {
    conn = FakeConnection();
    rows = {{"序号", "姓名", "入学时间", "生日", "参加工作时间", "职工身份"},
            {"7", "张三", Cell::date(kOtherDay), Cell::date(kBorn), Cell::date(kStarted), "干部"}};
    request.mode = ImportMode::Overwrite;
    MappingFrontend frontend;
    if (!c.cancel) frontend.answer = MappingFrontend::presetWith(c.changes);
    const ImportOutcome o = run(frontend);
    EXPECT_EQ(o.end, c.end) << c.name;
    const Lines pane = frontend.only("import");
    EXPECT_EQ(Lines(pane.begin(), pane.begin() + std::min(pane.size(), c.importLines.size())), c.importLines) << c.name;
    if (c.cancel) {
      EXPECT_TRUE(conn.log.empty()) << c.name;  // the department was not deleted
      continue;
    }
    EXPECT_EQ(stored("csny"), db::Value(db::Date{1965, 3, 1})) << c.name;
    EXPECT_EQ(stored("grsf"), db::Value(G("干部"))) << c.name;
    EXPECT_EQ(stored("bh").has_value(), c.serialStored) << c.name;
  }
}

TEST_F(MappedRun, AFoundHeaderWhoseMappingIsCancelledIsRefusedAsNotTaken) {
  rows = {{"序号", "姓名", "出生日期", "参加工作时间", "个人身份"},
          {"1", "张三", Cell::date(kBorn), Cell::date(kStarted), "干部"}};
  MappingFrontend frontend;
  const ImportOutcome o = run(frontend);
  EXPECT_EQ(o.end, RunEnd::LayoutRejected);
  EXPECT_TRUE(o.titlesNotTaken);
  EXPECT_TRUE(conn.log.empty());
}

TEST(TitleMapping, OnlyNamesTheToolDoesNotKnowForTheirFieldBecomeAliases) {
  struct Row {
    const char* name;
    const char* field;
    const char* title;  // the sheet's title in the column chosen
    Lines aliases;      // "field=other"
  };
  const Row rows[] = {
      {"the field's own title", "出生年月", "出生年月", {}},
      {"a form of it", "出生年月", "出生 年月", {}},
      {"a built-in other name", "出生年月", "出生日期", {}},
      {"a name of another field's own", "参加工作时间", "工作时间", {}},
      {"the operator's own name", "个人身份", "职工类别", {}},
      {"a new name, folded", "出生年月", "生\n日", {"出生年月=生日"}},
      {"a title of another field used for this one", "序号", "身份证号", {"序号=身份证号"}},
  };
  TitleNames names;
  names.add(G("个人身份"), G("职工类别"));
  for (const Row& r : rows) {
    const std::vector<SheetTitle> titles = {{1, 1, G(r.title)}};
    TitleMapping m;
    m.columns[fieldNamed(G(r.field))] = 1;
    Lines got;
    for (const TitleAlias& a : newAliases(m, titles, names)) got.push_back(U(a.field) + "=" + U(a.other));
    EXPECT_EQ(got, r.aliases) << r.name;
  }
}

TEST(TitlesFile, AliasesAreAddedAtTheEndKeepingTheFileAsItIs) {
  const std::vector<TitleAlias> aliases = {{G("出生年月"), G("生日")}, {G("个人身份"), G("职工身份")}};
  struct Row {
    const char* name;
    std::string before;  // bytes
    std::string after;   // bytes
    std::size_t added;
  };
  const Row rows[] = {
      {"a new file: GB 18030, CR LF", "", G("出生年月=生日\r\n个人身份=职工身份\r\n"), 2},
      {"GB 18030 with comments and CR LF", G("# 本单位的标题\r\n参加工作时间=入职时间\r\n"),
       G("# 本单位的标题\r\n参加工作时间=入职时间\r\n出生年月=生日\r\n个人身份=职工身份\r\n"), 2},
      {"UTF-8 with its byte order mark and LF only", "\xEF\xBB\xBF# 标题\n参加工作时间=入职时间\n",
       "\xEF\xBB\xBF# 标题\n参加工作时间=入职时间\n出生年月=生日\n个人身份=职工身份\n", 2},
      {"UTF-8 without a mark", "# 别名表：标题=别名\n", "# 别名表：标题=别名\n出生年月=生日\n个人身份=职工身份\n", 2},
      {"no line break at the end", G("参加工作时间=入职时间"),
       G("参加工作时间=入职时间\r\n出生年月=生日\r\n个人身份=职工身份\r\n"), 2},
      {"one of them there already, written with blanks", G("个人身份 = 职工 身份\r\n"),
       G("个人身份 = 职工 身份\r\n出生年月=生日\r\n"), 1},
      {"both there", G("出生年月=生日\r\n个人身份=职工身份\r\n"), G("出生年月=生日\r\n个人身份=职工身份\r\n"), 0},
  };
  for (const Row& r : rows) {
    const TitlesText t = titlesTextWith(r.before, aliases);
    EXPECT_EQ(t.bytes, r.after) << r.name;
    EXPECT_EQ(t.added.size(), r.added) << r.name;
  }
}

class SavedTitles : public MappedRun {
 protected:
  void SetUp() override {
    MappedRun::SetUp();
    dir = std::filesystem::temp_directory_path() / ("gz_saved_titles_" + std::to_string(std::random_device{}()));
    std::filesystem::create_directories(dir);
    file = dir / "titles.txt";
  }
  void TearDown() override { std::filesystem::remove_all(dir); }
  std::string content() const {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }
  std::filesystem::path dir, file;
};

TEST_F(SavedTitles, AMappingSavedIsRecognisedByTheNextRosterOfThatForm) {
  struct Row {
    const char* name;
    std::string before;  // bytes of titles.txt, none when empty
    std::string after;
  };
  const Row cases[] = {
      {"no file yet", "", G("出生年月=生日\r\n个人身份=职工身份\r\n")},
      {"a GB 18030 file", G("; 标题=别名\r\n学历=最高学历\r\n"),
       G("; 标题=别名\r\n学历=最高学历\r\n出生年月=生日\r\n个人身份=职工身份\r\n")},
      {"a UTF-8 file", "学历=最高学历\n", "学历=最高学历\n出生年月=生日\n个人身份=职工身份\n"},
  };
  for (const Row& c : cases) {
    std::filesystem::remove(file);
    if (!c.before.empty()) std::ofstream(file, std::ios::binary) << c.before;
    rows = {{"序号", "姓名", "生日", "参加工作时间", "职工身份"},
            {"1", "张三", Cell::date(kBorn), Cell::date(kStarted), "干部"}};
    request.titleNames = TitleNames();
    loadTitlesFile(request.titleNames, file);

    MappingFrontend first;
    first.answer = MappingFrontend::presetWith({{"出生年月", 3}, {"个人身份", 5}});
    ASSERT_EQ(run(first).end, RunEnd::Completed) << c.name;
    const TitleOffer& offer = first.offered;
    TitleMapping chosen = *first.answer(offer);
    EXPECT_EQ(saveTitleAliases(file, newAliases(chosen, offer.titles, request.titleNames)).size(), 2u) << c.name;
    EXPECT_EQ(content(), c.after) << c.name;

    request.titleNames = TitleNames();
    EXPECT_TRUE(loadTitlesFile(request.titleNames, file).empty()) << c.name;
    MappingFrontend next;  // would cancel a mapping
    next.takeFoundTitles = true;
    EXPECT_EQ(run(next).end, RunEnd::Completed) << c.name;
    EXPECT_EQ(std::count_if(next.events.begin(), next.events.end(),
                            [](const std::string& e) { return e.rfind("mapping:", 0) == 0; }),
              0)
        << c.name;
    // Saving the same again adds nothing.
    EXPECT_TRUE(saveTitleAliases(file, newAliases(chosen, offer.titles, TitleNames())).empty()) << c.name;
    EXPECT_EQ(content(), c.after) << c.name;
  }
}

TEST_F(SavedTitles, AFileThatCannotBeWrittenIsAnErrorAndLeftAsItWas) {
  std::filesystem::create_directories(file);  // a folder where the file should be
  EXPECT_THROW(saveTitleAliases(file, {{G("出生年月"), G("生日")}}), codes::DmFileError);
  EXPECT_TRUE(std::filesystem::is_directory(file));
  EXPECT_FALSE(std::filesystem::exists(dir / "titles.txt.new"));
}

}  // namespace
}  // namespace gz::imp
