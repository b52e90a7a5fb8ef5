// Workbooks written by other programs (testdata/sheet/xls, origins in
// ORIGINS.md). Each file's active sheet is compared cell by cell with the
// values it holds, listed in expected/<file>.txt.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "listing_support.h"
#include "sheet/model/cell_forms.h"
#include "sheet/model/workbook.h"
#include "sheet/shared/compound_file.h"
#include "sheet/xls/workbook_stream.h"
#include "sheet/xls/xls_reader.h"
#include "text/gb18030.h"
#include "xls_test_support.h"

namespace gz::sheet {
namespace {

using namespace testing;
namespace fs = std::filesystem;

const fs::path kFolder = fs::path(GZ_TEST_DATA) / "sheet" / "xls";

std::unique_ptr<Workbook> open(const std::string& file) {
  const ByteVec bytes = readTestFile("sheet/xls/" + file);
  return readXls(bytes.data(), bytes.size(), file);
}

// expected/<file>.txt holds the sheet name, then every non-empty cell.
TEST(XlsSamples, ActiveSheetHoldsTheValuesOfTheFile) {
  int files = 0;
  for (const auto& entry : fs::directory_iterator(kFolder / "expected")) {
    const std::string file = entry.path().stem().string() + ".xls";
    SCOPED_TRACE(file);
    const std::vector<std::string> want = readListing(entry.path());
    ASSERT_FALSE(want.empty());
    const auto wb = open(file);
    EXPECT_EQ("SHEET " + escapedListingText(wb->sheetName()), want[0]);
    for (std::size_t i = 1; i < want.size(); ++i) {
      unsigned row = 0, col = 0;
      ASSERT_EQ(std::sscanf(want[i].c_str(), "%u,%u", &row, &col), 2) << want[i];
      const std::string got = listingLine(row, col, wb->value(row, col));
      if (got != want[i]) {
        ADD_FAILURE() << "expected " << text::gb18030ToUtf8(want[i]) << ", got " << text::gb18030ToUtf8(got);
        break;
      }
    }
    EXPECT_EQ(wb->sheet().cellCount(), want.size() - 1);  // and no cell beyond those
    ++files;
  }
  EXPECT_GE(files, 45);
}

TEST(XlsSamples, ChartAsActiveTabGivesTheFirstWorksheetAndANotice) {
  const auto wb = open("poi_44010-TwoCharts.xls");
  EXPECT_EQ(wb->sheetName(), "auto_1");
  EXPECT_EQ(wb->notice(), text::utf8ToGb18030("活动工作表Graph2是图表,读取第一个工作表auto_1"));
  for (const char* file : {"xlrd_profiles.xls", "poi_46250.xls", "poi_12843-1.xls", "calamine_misc_biff5_parsing.xls"})
    EXPECT_EQ(open(file)->notice(), "") << file;
}

// The three forms the import reads, for values whose form is easy to get wrong.
TEST(XlsSamples, CellFormsOfTypicalValues) {
  struct Case {
    const char* file;
    uint32_t row, col;
    const char* text;  // UTF-8
    std::optional<double> date;
  } cases[] = {
      {"calamine_xls_wrong_decimals.xls", 1, 1, "0.525625", 0.525625},
      {"sheetjs_RkNumber.xls", 2, 3, "10000000", std::nullopt},
      {"sheetjs_RkNumber.xls", 5, 3, "12004.55", 12004.55},  // an integer RK divided by 100
      {"libxls_dates-1904.xls", 1, 1, "2000-1-1", 36526},
      {"calamine_date_1904.xls", 2, 1, "2021-1-2", 44198},
      {"poi_12561-1.xls", 4, 13, "2002-6-30", 37437},  // built-in CJK date format, no FORMAT record
      {"numfmt_dbnum_cjk.xls", 1, 2, "12345.5", 12345.5},
      {"numfmt_dbnum_cjk.xls", 3, 2, "1933-10-18 12:00:00", 12345.5},
      {"poi_StringFormulas.xls", 1, 1, "XYZ", std::nullopt},
      {"biff5_cp936_patched.xls", 2, 1, "张三丰", std::nullopt},
      {"sheetjs_crlf.xls", 2, 2, "abc\r\ndef", std::nullopt},
      {"libxls_65536-rows.xls", 65536, 1, "WORLD", std::nullopt},
      {"sparse_corner_IV65536.xls", 65536, 256, nullptr, std::nullopt},
      {"gen_cell_types.xls", 7, 2, "2006-12-31", 39082},
      {"gen_cell_types.xls", 8, 2, "2020-2-29 13:45:30", std::nullopt},
      {"gen_cell_types.xls", 10, 2, "12345.5", 12345.5},
      {"gen_cell_types.xls", 16, 2, "#DIV/0!", std::nullopt},
      {"gen_dates_1904.xls", 1, 1, "1965-3-1", 23802},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.file) + " " + std::to_string(c.row) + "," + std::to_string(c.col));
    const CellValue v = open(c.file)->value(c.row, c.col);
    ASSERT_NE(v.kind, CellKind::Empty);
    if (c.text) {
      EXPECT_EQ(text::gb18030ToUtf8(cellText(v)), c.text);
    }
    if (c.date) {
      EXPECT_EQ(cellDate(v), c.date);
    }
  }
}

// Damaged copies of real files: every outcome is a workbook or one
// WorkbookError, never a crash or another exception.
TEST(XlsSamples, DamagedFilesGiveAWorkbookOrOneError) {
  std::mt19937 random(20240601);
  int refused = 0, read = 0;
  auto attempt = [&](const ByteVec& bytes, bool fileLevel) {
    try {
      if (fileLevel) {
        readXls(bytes.data(), bytes.size(), "d.xls");
      } else {
        readXlsStream(bytes.data(), bytes.size(), false, "d.xls");
      }
      ++read;
    } catch (const WorkbookError& e) {
      EXPECT_NE(std::string(e.what()).find(": d.xls"), std::string::npos) << e.what();
      ++refused;
    }
  };
  for (const char* file : {"xlrd_namesdemo.xls", "calamine_sst_continue.xls", "sheetjs_biff5_rich_text_stress.xls",
                           "poi_44010-TwoCharts.xls"}) {
    SCOPED_TRACE(file);
    const ByteVec bytes = readTestFile(std::string("sheet/xls/") + file);
    const std::vector<uint8_t> stream = extractWorkbookStream(bytes.data(), bytes.size()).bytes;
    for (std::size_t cut = 0; cut < stream.size(); cut += 37)
      attempt(ByteVec(stream.begin(), stream.begin() + cut), false);
    for (std::size_t cut = 0; cut < bytes.size(); cut += 1021)
      attempt(ByteVec(bytes.begin(), bytes.begin() + cut), true);
    for (int round = 0; round < 300; ++round) {
      ByteVec damaged = stream;
      for (int flips = 0; flips < 4; ++flips) damaged[random() % damaged.size()] = static_cast<uint8_t>(random());
      attempt(damaged, false);
    }
  }
  EXPECT_GT(refused, 0);
  EXPECT_GT(read, 0);
}

}  // namespace
}  // namespace gz::sheet
