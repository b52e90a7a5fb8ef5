// Encrypted workbooks (testdata/sheet/encrypted, origins in ORIGINS.md), one
// or more per scheme: each opens with its password and holds exactly the
// cells of the same workbook saved without encryption; wrong, empty and
// missing passwords are refused with their own fault.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "sheet/model/cell_forms.h"
#include "sheet/model/cell_value.h"
#include "sheet/model/sheet_data.h"
#include "sheet/model/workbook_error.h"
#include "sheet/open_workbook.h"
#include "text/gb18030.h"
#include "xls_test_support.h"

namespace gz::sheet {
namespace {

using testing::ByteVec;
using testing::readTestFile;

struct Sample {
  const char* file;      // below sheet/encrypted/
  const char* scheme;
  const char* password;  // UTF-8; nullptr: opens with the default password
  const char* plain;     // the same workbook unencrypted, below sheet/
};

const Sample kSamples[] = {
    {"poi_xor-encryption-abc.xls", "XOR, BIFF8", "abc", "encrypted/plain/poi_xor-encryption-abc.xls"},
    {"gen_xor_biff5.xls", "XOR, BIFF5", "abc", "xls/biff5_cp936_patched.xls"},
    {"poi_password.xls", "RC4", "password", "encrypted/plain/poi_password.xls"},
    {"lo_people_rc4.xls", "RC4, Chinese password", "密码123", "encrypted/plain/lo_people_rc4.xls"},
    {"poi_50833.xls", "RC4, default password", nullptr, "encrypted/plain/poi_50833.xls"},
    {"sheetjs_password_2002_128_strong.xls", "RC4 CryptoAPI 128-bit", "password",
     "encrypted/plain/sheetjs_password_2002_128_strong.xls"},
    {"poi_protected_passtika.xlsx", "Standard, AES-128", "tika", "encrypted/plain/poi_protected_passtika.xlsx"},
    {"gen_standard_aes256.xlsx", "Standard, AES-256", "secret256", "xlsx/gen_cell_forms.xlsx"},
    {"poi_protected_sha512.xlsx", "Agile, AES-256 SHA-512", "this is a test",
     "encrypted/plain/poi_protected_sha512.xlsx"},
    {"gen_agile_sha1_aes128.xlsx", "Agile, AES-128 SHA-1", "工资 2024", "xlsx/gen_cell_forms.xlsx"},
};

// Records what the reader asks and answers from a list; nullopt once it runs out.
struct Answers {
  std::vector<std::string> given;
  std::vector<bool> askedAfterWrong;
  PasswordSource source() {
    return [this](const std::string& file, bool lastWasWrong) -> std::optional<std::string> {
      EXPECT_EQ(file, "book");
      askedAfterWrong.push_back(lastWasWrong);
      if (askedAfterWrong.size() > given.size()) return std::nullopt;
      return given[askedAfterWrong.size() - 1];
    };
  }
};

std::unique_ptr<Workbook> read(const std::string& relative, const PasswordSource& ask = {}) {
  const ByteVec bytes = readTestFile("sheet/" + relative);
  return readWorkbook(bytes.data(), bytes.size(), "book", ask);
}

std::optional<WorkbookError> errorOf(const std::string& relative, const PasswordSource& ask) {
  try {
    read(relative, ask);
  } catch (const WorkbookError& e) {
    return e;
  }
  return std::nullopt;
}

void expectSameCells(const Workbook& got, const Workbook& want) {
  EXPECT_EQ(got.sheetName(), want.sheetName());
  EXPECT_EQ(got.notice(), want.notice());
  const SheetData& g = got.sheet();
  const SheetData& w = want.sheet();
  ASSERT_GT(w.cellCount(), 0u);
  ASSERT_EQ(g.cellCount(), w.cellCount());
  ASSERT_EQ(g.lastRow(), w.lastRow());
  for (uint32_t row = 1; row <= w.lastRow(); ++row) {
    ASSERT_EQ(g.lastColumn(row), w.lastColumn(row)) << "row " << row;
    for (uint32_t col = 1; col <= w.lastColumn(row); ++col) {
      const CellValue a = g.value(row, col), b = w.value(row, col);
      EXPECT_TRUE(a.kind == b.kind && a.isDate == b.isDate && a.text == b.text &&
                  (a.number == b.number || (a.number != a.number && b.number != b.number)))
          << "cell " << row << "," << col << ": " << text::gb18030ToUtf8(cellText(a)) << " instead of "
          << text::gb18030ToUtf8(cellText(b));
    }
  }
}

TEST(EncryptedSamples, EverySchemeReadsLikeTheSameWorkbookUnencrypted) {
  for (const Sample& s : kSamples) {
    SCOPED_TRACE(std::string(s.file) + " (" + s.scheme + ")");
    Answers answers;
    if (s.password) answers.given = {s.password};
    const auto book = read(std::string("encrypted/") + s.file, answers.source());
    expectSameCells(*book, *read(s.plain));
    // The default password is tried first and silently; a password is asked for once.
    EXPECT_EQ(answers.askedAfterWrong, s.password ? std::vector<bool>{false} : std::vector<bool>{});
  }
}

TEST(EncryptedSamples, WithoutAPasswordOnlyTheDefaultPasswordOpens) {
  for (const Sample& s : kSamples) {
    SCOPED_TRACE(s.file);
    const auto error = errorOf(std::string("encrypted/") + s.file, {});
    if (!s.password) {
      EXPECT_FALSE(error) << error->what();
      continue;
    }
    ASSERT_TRUE(error);
    EXPECT_EQ(error->fault(), WorkbookFault::Encrypted);
    EXPECT_STREQ(error->what(), "工作簿有打开密码: book");
  }
}

TEST(EncryptedSamples, WrongAndEmptyPasswordsAreRefusedAndAskedAgain) {
  for (const Sample& s : kSamples) {
    if (!s.password) continue;
    SCOPED_TRACE(s.file);
    // Close misses too: a case changed, a character more, the empty text.
    const std::string right = s.password;
    std::string otherCase = right;
    otherCase[0] = static_cast<char>(otherCase[0] ^ 0x20);
    Answers answers;
    answers.given = {"", otherCase, right + "x"};
    const auto error = errorOf(std::string("encrypted/") + s.file, answers.source());
    ASSERT_TRUE(error);
    EXPECT_EQ(error->fault(), WorkbookFault::WrongPassword);
    EXPECT_STREQ(error->what(), "密码不正确: book");
    EXPECT_EQ(answers.askedAfterWrong, (std::vector<bool>{false, true, true, true}));

    // After wrong tries the right one still opens it.
    Answers retry;
    retry.given = {"wrong", right};
    EXPECT_NO_THROW(read(std::string("encrypted/") + s.file, retry.source()));
    EXPECT_EQ(retry.askedAfterWrong, (std::vector<bool>{false, true}));
  }
}

TEST(EncryptedSamples, GivingUpAtOnceIsTheEncryptedFault) {
  Answers none;  // answers nothing: the operator cancelled the first question
  const auto error = errorOf("encrypted/poi_password.xls", none.source());
  ASSERT_TRUE(error);
  EXPECT_EQ(error->fault(), WorkbookFault::Encrypted);
  EXPECT_EQ(none.askedAfterWrong, std::vector<bool>{false});
}

TEST(EncryptedSamples, TheDefaultPasswordOpensWithoutAsking) {
  Answers answers;
  EXPECT_EQ(cellText(read("encrypted/poi_50833.xls", answers.source())->value(1, 1)),
            cellText(read("encrypted/plain/poi_50833.xls")->value(1, 1)));
  EXPECT_TRUE(answers.askedAfterWrong.empty());
}

}  // namespace
}  // namespace gz::sheet
