// openWorkbook(): the format comes from the bytes, errors name the file.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>

#include "sheet/model/cell_forms.h"
#include "sheet/model/workbook_error.h"
#include "sheet/open_workbook.h"
#include "text/gb18030.h"
#include "xlsx_test_package.h"

namespace gz::sheet {
namespace {

namespace fs = std::filesystem;

const std::string kEncryptedSample = std::string(GZ_TEST_DATA) + "/sheet/encrypted/poi_protected_sha512.xlsx";

class OpenWorkbook : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("gz_open_workbook_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  // Writes `bytes` under `utf8Name` in the test folder; returns the UTF-8 path.
  std::string put(const std::string& utf8Name, const testing::Bytes& bytes) {
    const fs::path p = dir_ / fs::path(std::u8string(utf8Name.begin(), utf8Name.end()));
    std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    const std::u8string u8 = p.u8string();
    return std::string(u8.begin(), u8.end());
  }

  static std::string errorOf(const std::string& path) {
    try {
      openWorkbook(path);
    } catch (const WorkbookError& e) {
      return e.what();
    }
    return {};
  }

  static std::optional<WorkbookFault> faultOf(const std::string& path) {
    try {
      openWorkbook(path);
    } catch (const WorkbookError& e) {
      return e.fault();
    }
    return std::nullopt;
  }

  fs::path dir_;
};

TEST_F(OpenWorkbook, FormatComesFromTheContentNotTheName) {
  const auto xlsx = testing::readFile(std::string(GZ_TEST_DATA) + "/sheet/xlsx/poi_TwoSheetsOneHidden.xlsx");
  auto book = openWorkbook(put("工资表.xls", xlsx));  // misnamed, and a Chinese file name
  EXPECT_EQ(book->sheetName(), "Sheet2");
  EXPECT_EQ(cellText(book->value(1, 1)), "Sheet2A1");
}

TEST_F(OpenWorkbook, EveryFormReadsWhateverItsName) {
  const struct {
    const char* sample;  // below testdata/sheet
    const char* savedAs;
    const char* sheet;   // UTF-8
    const char* a1;
  } cases[] = {
      {"xmlss/gen_people.xml", "人员.xls", "人员信息", "序号"},
      {"html/gen_people_gb18030.html", "名单.xls", "名单", "序号"},
      {"csv/gen_people.csv", "导出.xls", "导出", "序号"},
      {"csv/gen_people_utf16.txt", "unicode.txt", "unicode", "序号"},
      {"ods/gen_people.ods", "人员.et", "人员信息", "序号"},
      {"oldxls/sheetjs_crlf_CRLFX5_4.XLS", "excel4.xls", "excel4", "Normal"},
      {"et/sheetjs_artifacts_wps_write.et", "模板.ett", "Sheet1", "1"},
      {"xlsx/poi_TwoSheetsOneHidden.xlsx", "wps.et", "Sheet2", "Sheet2A1"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.sample);
    const auto bytes = testing::readFile(std::string(GZ_TEST_DATA) + "/sheet/" + c.sample);
    const auto book = openWorkbook(put(c.savedAs, bytes));
    EXPECT_EQ(text::gb18030ToUtf8(book->sheetName()), c.sheet);
    EXPECT_EQ(text::gb18030ToUtf8(cellText(book->value(1, 1))), c.a1);
  }
}

TEST_F(OpenWorkbook, FailuresAreOneLineNamingTheFile) {
  const std::string missing = (dir_ / "none.xlsx").string();
  EXPECT_EQ(errorOf(missing), "文件不存在: " + missing);

  const std::string textFile = put("notes.xlsx", {'h', 'e', 'l', 'l', 'o'});
  EXPECT_EQ(errorOf(textFile), "不是Excel工作簿: " + textFile);
  const std::string empty = put("empty.xls", {});
  EXPECT_EQ(errorOf(empty), "不是Excel工作簿: " + empty);
  EXPECT_EQ(errorOf(dir_.string()), "不是Excel工作簿: " + dir_.string());

  const std::string encrypted = put("secret.xlsx", testing::readFile(kEncryptedSample));
  EXPECT_EQ(errorOf(encrypted), "工作簿有打开密码: " + encrypted);

  const std::string truncated = put("cut.xlsx", {'P', 'K', 3, 4, 20, 0});
  EXPECT_NE(errorOf(truncated).find(truncated), std::string::npos);
}

TEST_F(OpenWorkbook, FailuresCarryTheirKind) {
  struct Row {
    const char* name;
    std::string path;
    WorkbookFault fault;
  };
  const Row rows[] = {
      {"missing file", (dir_ / "none.xlsx").string(), WorkbookFault::Missing},
      {"a folder", dir_.string(), WorkbookFault::NotAWorkbook},
      {"plain text", put("notes.xlsx", {'h', 'i'}), WorkbookFault::NotAWorkbook},
      {"a page without a table", put("page.xls", {'<', 'p', '>', 'x', '<', '/', 'p', '>'}),
       WorkbookFault::NotAWorkbook},
      {"an Excel 4.0 chart", put("chart.xls", {0x09, 0x04, 0x06, 0, 0, 0, 0x20, 0, 0, 0, 0x0A, 0, 0, 0}),
       WorkbookFault::Unsupported},
      {"empty file", put("empty.xls", {}), WorkbookFault::NotAWorkbook},
      {"encrypted package", put("secret.xlsx", testing::readFile(kEncryptedSample)), WorkbookFault::Encrypted},
      {"encrypted package of an unknown version",
       put("odd.xlsx", testing::makeCompoundFile(
                           {{"EncryptionInfo", std::string(64, '\1')}, {"EncryptedPackage", std::string(4096, '\2')}})),
       WorkbookFault::Unsupported},
      {"compound file without a workbook stream",
       put("doc.xls", testing::makeCompoundFile({{"WordDocument", std::string(600, '\0')}})),
       WorkbookFault::NotAWorkbook},
      {"truncated zip", put("cut.xlsx", {'P', 'K', 3, 4, 20, 0}), WorkbookFault::Damaged},
  };
  for (const Row& r : rows) EXPECT_EQ(faultOf(r.path), r.fault) << r.name;
}

}  // namespace
}  // namespace gz::sheet
