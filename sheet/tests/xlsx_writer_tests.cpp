// The workbook writer, read back by the workbook reader: every cell kind
// comes back as it was written.
#include <gtest/gtest.h>

#include <filesystem>

#include "sheet/model/cell_value.h"
#include "sheet/open_workbook.h"
#include "sheet/pending_workbook.h"
#include "sheet/xlsx_writer.h"
#include "text/gb18030.h"

namespace gz::sheet {
namespace {

CellValue text(std::string_view utf8) {
  CellValue v;
  v.kind = CellKind::Text;
  v.text = text::utf8ToGb18030(utf8);
  return v;
}
CellValue number(double n, bool isDate = false) {
  CellValue v;
  v.kind = CellKind::Number;
  v.number = n;
  v.isDate = isDate;
  return v;
}

TEST(XlsxWriter, CellsReadBackAsWritten) {
  CellValue yes;
  yes.kind = CellKind::Boolean;
  yes.number = 1;
  CellValue na;
  na.kind = CellKind::Error;
  na.number = 0x2A;
  struct Row {
    const char* name;
    CellValue written;
    CellValue expected;
  };
  const Row cases[] = {
      {"text", text("杨𪚥 1990.07大学\n科员"), text("杨𪚥 1990.07大学\n科员")},
      {"whole number", number(3), number(3)},
      {"decimal", number(3.06), number(3.06)},
      {"date", number(23802, true), number(23802, true)},
      {"date and time", number(23802.5, true), number(23802.5, true)},
      {"boolean", yes, yes},
      {"error as its text", na, text("#N/A")},
      {"empty", CellValue{}, CellValue{}},
  };
  std::vector<std::vector<CellValue>> rows{{text("标题")}};
  for (const Row& c : cases) rows.push_back({text(c.name), c.written});
  const std::string path = (std::filesystem::temp_directory_path() / "gz_xlsx_writer_test.xlsx").string();
  writeXlsx(path, text::utf8ToGb18030("未导入的行"), rows);

  const std::unique_ptr<Workbook> book = openWorkbook(path);
  EXPECT_EQ(text::gb18030ToUtf8(book->sheetName()), "未导入的行");
  for (uint32_t r = 0; r < std::size(cases); ++r) {
    const Row& c = cases[r];
    const CellValue got = book->value(r + 2, 2);
    EXPECT_EQ(got.kind, c.expected.kind) << c.name;
    EXPECT_EQ(got.isDate, c.expected.isDate) << c.name;
    EXPECT_DOUBLE_EQ(got.number, c.expected.number) << c.name;
    EXPECT_EQ(got.text, c.expected.text) << c.name;
  }
  std::filesystem::remove(path);
}

TEST(XlsxWriter, AFileThatCannotBeCreatedIsAnErrorOfItsKind) {
  try {
    writeXlsx("/nonexistent-folder/r.xlsx", "s", {{text("a")}});
    FAIL() << "written";
  } catch (const WorkbookWriteError& e) {
    EXPECT_EQ(e.fault(), WriteFault::CannotCreate);
    EXPECT_NE(std::string(e.what()).find("/nonexistent-folder/r.xlsx"), std::string::npos);
  }
}

// A pending workbook claims its place at once and fills it only on commit.
TEST(PendingWorkbook, PlaceIsClaimedFirstAndFilledOnCommit) {
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "gz_pending_workbook";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir / "folder.xlsx");
  struct Row {
    const char* name;
    std::filesystem::path target;
  };
  for (const Row& bad : {Row{"no such folder", dir / "missing" / "r.xlsx"}, Row{"a folder", dir / "folder.xlsx"}}) {
    try {
      PendingWorkbook pending(bad.target.string());
      ADD_FAILURE() << bad.name;
    } catch (const WorkbookWriteError& e) {
      EXPECT_EQ(e.fault(), WriteFault::CannotCreate) << bad.name;
    }
  }
  const std::string target = (dir / "r.xlsx").string();
  {
    PendingWorkbook dropped(target);
    EXPECT_TRUE(std::filesystem::exists(dropped.partPath()));
  }
  EXPECT_TRUE(std::filesystem::is_empty(dir / "folder.xlsx"));
  EXPECT_FALSE(std::filesystem::exists(target + ".part"));
  EXPECT_FALSE(std::filesystem::exists(target));
  {
    PendingWorkbook kept(target);
    writeXlsx(kept.partPath(), "s", {{number(7)}});
    kept.commit();
  }
  EXPECT_FALSE(std::filesystem::exists(target + ".part"));
  EXPECT_EQ(openWorkbook(target)->value(1, 1).number, 7);
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace gz::sheet
