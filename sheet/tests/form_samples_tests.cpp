// Workbooks in the other forms a sheet program opens (testdata/sheet/<form>,
// origins in each ORIGINS.md): each file's sheet is compared cell by cell
// with expected/<file>.txt, what LibreOffice (or, for Excel 2.x to 4.0, xlrd)
// reads from the same file. The cells where this reader differs on purpose
// are listed with the reason.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>

#include "listing_support.h"
#include "sheet/model/cell_forms.h"
#include "sheet/model/cell_value.h"
#include "sheet/model/sheet_data.h"
#include "sheet/open_workbook.h"
#include "sheet/shared/compound_file.h"
#include "sheet/xls/workbook_stream.h"
#include "sheet/xls/xls_reader.h"
#include "text/gb18030.h"
#include "xls_test_support.h"

namespace gz::sheet {
namespace {

namespace fs = std::filesystem;
using namespace testing;

const fs::path kData = fs::path(GZ_TEST_DATA) / "sheet";

std::string path(const fs::path& p) {
  const std::u8string u8 = p.u8string();
  return std::string(u8.begin(), u8.end());
}

// A cell read differently from the listing, on purpose.
struct Deliberate {
  const char* file;
  const char* difference;  // as differencesFromListing() words it
  const char* why;
};

// The personnel sheet saved as a page and as CSV, where the text decides.
const char* const kTypedCells[] = {
    "expected 2,7 N 1.10105196503011e+17, got 2,7 T 110105196503011234",  // more than 15 digits stay text
    "expected 5,7 N 4.4030119651231e+17, got 5,7 T 440301196512310021",
    "expected 3,4 N 1, got 3,4 T 01",                                       // a leading zero stays text
    "expected 4,6 T 1965年3月, got 4,6 D 23802",                            // a year and month typed is a date
    "expected 6,6 T 1985-08, got 6,6 D 31260",
};

const Deliberate kDeliberate[] = {
    {"ods/sheetjs_crlf_crlf.ods", "expected 2,2 N 0, got 2,2 T abc\\r\\ndef",
     "a formula's text result, which LibreOffice's .xls export loses"},
    {"fods/sheetjs_crlf_crlf.fods", "expected 2,2 N 0, got 2,2 T abc\\r\\ndef", "the same"},
    {"xmlss/gen_people.xml", "expected 8,8 E 42, got 8,8 T #N/A",
     "LibreOffice saves the error result of =NA() as the text #N/A"},
    {"html/gen_people.html", "expected 2,6 N 31260, got 2,6 D 31260",
     "the page gives the cell a date format (sdnum), which LibreOffice drops"},
    {"html/gen_people_gb18030.html", "expected 2,6 N 31260, got 2,6 D 31260", "the same"},
    {"html/gen_people.html", "expected 8,9 N 0.354166666666667, got 8,9 D 0.354166666666667", "a time format"},
    {"html/gen_people_gb18030.html", "expected 8,9 N 0.354166666666667, got 8,9 D 0.354166666666667", "the same"},
    {"csv/gen_people.csv", "expected 2,6 D 31260, got 2,6 T 08/01/1985",
     "month/day/year is the order of an English system, not a Chinese one"},
    {"csv/gen_people.csv", "expected 8,8 T #N/A, got 8,8 E 42", "typed, #N/A is the error value"},
};

bool deliberate(const std::string& file, const std::string& difference) {
  for (const Deliberate& d : kDeliberate)
    if (file == d.file && difference == d.difference) return true;
  const bool typed = file.rfind("html/gen_people", 0) == 0 || file.rfind("csv/gen_people", 0) == 0;
  return typed && std::find(std::begin(kTypedCells), std::end(kTypedCells), difference) != std::end(kTypedCells);
}

TEST(FormSamples, EveryFileReadsAsTheListingSays) {
  std::set<std::string> forms;
  int files = 0;
  for (const char* form : {"ods", "fods", "xmlss", "html", "csv", "oldxls", "et"}) {
    for (const auto& entry : fs::directory_iterator(kData / form / "expected")) {
      const std::string name = entry.path().filename().string();
      const std::string file = std::string(form) + "/" + name.substr(0, name.size() - 4);
      SCOPED_TRACE(file);
      const auto book = openWorkbook(path(kData / file));
      for (const std::string& d : differencesFromListing(*book, readListing(entry.path()))) {
        if (!deliberate(file, d)) ADD_FAILURE() << d;
      }
      forms.insert(form);
      ++files;
    }
  }
  EXPECT_EQ(forms.size(), 7u);
  EXPECT_GE(files, 16);
}

// Every listed difference still occurs, so none hides a change.
TEST(FormSamples, EachDeliberateDifferenceStillOccurs) {
  for (const Deliberate& d : kDeliberate) {
    SCOPED_TRACE(d.file);
    const std::string name = fs::path(d.file).filename().string();
    const fs::path listing = kData / fs::path(d.file).parent_path() / "expected" / (name + ".txt");
    const auto book = openWorkbook(path(kData / d.file));
    const std::vector<std::string> found = differencesFromListing(*book, readListing(listing));
    EXPECT_NE(std::find(found.begin(), found.end(), d.difference), found.end()) << d.difference << " (" << d.why << ")";
  }
}

// The same personnel sheet in every form, and in the encodings other
// programs write: the three cell forms agree with the .ods in every cell.
TEST(FormSamples, ThePersonnelSheetReadsAlikeInEveryForm) {
  const auto reference = openWorkbook(path(kData / "ods/gen_people.ods"));
  const SheetData& want = reference->sheet();
  struct Copy {
    const char* file;
    bool typedFromText;  // CSV and pages: the typed cells above differ
  } copies[] = {
      {"fods/gen_people.fods", false},        {"xmlss/gen_people.xml", false}, {"html/gen_people.html", true},
      {"html/gen_people_gb18030.html", true}, {"csv/gen_people.csv", true},    {"csv/gen_people_gb18030.csv", true},
      {"csv/gen_people_utf16.txt", true},
  };
  for (const Copy& c : copies) {
    SCOPED_TRACE(c.file);
    const auto book = openWorkbook(path(kData / c.file));
    EXPECT_EQ(book->notice(), "");
    for (uint32_t row = 1; row <= want.lastRow(); ++row) {
      for (uint32_t col = 1; col <= 13; ++col) {
        const CellValue a = want.value(row, col), b = book->value(row, col);
        if (c.typedFromText && a.kind != b.kind) continue;  // compared with the listing above
        if (c.typedFromText && (row == 8 && col >= 6)) continue;  // booleans, #N/A and 8:30 AM as the page shows them
        EXPECT_EQ(cellText(b), cellText(a)) << row << "," << col;
        ASSERT_EQ(cellDate(b).has_value(), cellDate(a).has_value()) << row << "," << col;
        if (cellDate(a)) {
          EXPECT_NEAR(*cellDate(b), *cellDate(a), 1e-9) << row << "," << col;  // a page rounds its numbers
        }
      }
    }
  }
}

// A workbook stream taken out of its compound file is still the workbook.
TEST(FormSamples, BareWorkbookStreamsReadLikeTheirFiles) {
  const fs::path dir = fs::temp_directory_path() / "gz_bare_streams";
  fs::create_directories(dir);
  for (const char* file : {"gen_cell_types.xls", "sheetjs_biff5_text_and_numbers.xls", "biff5_cp936_patched.xls"}) {
    SCOPED_TRACE(file);
    const ByteVec bytes = readTestFile(std::string("sheet/xls/") + file);
    const std::vector<uint8_t> stream = extractWorkbookStream(bytes.data(), bytes.size()).bytes;
    const fs::path bare = dir / (std::string(file) + ".bin");
    std::ofstream(bare, std::ios::binary).write(reinterpret_cast<const char*>(stream.data()), stream.size());
    const auto fromFile = readXls(bytes.data(), bytes.size(), file);
    const auto fromStream = openWorkbook(path(bare));
    EXPECT_EQ(fromStream->sheetName(), fromFile->sheetName());
    ASSERT_EQ(fromStream->sheet().cellCount(), fromFile->sheet().cellCount());
    for (uint32_t row = 1; row <= fromFile->sheet().lastRow(); ++row)
      for (uint32_t col = 1; col <= fromFile->sheet().lastColumn(row); ++col)
        EXPECT_EQ(listingLine(row, col, fromStream->value(row, col)), listingLine(row, col, fromFile->value(row, col)));
  }
  fs::remove_all(dir);
}

}  // namespace
}  // namespace gz::sheet
