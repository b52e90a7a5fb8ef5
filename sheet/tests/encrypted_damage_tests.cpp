// Encrypted workbooks whose encryption headers or data are broken, forged or
// of an unknown kind: each is one WorkbookError of the right fault, never a
// crash, and damage is never taken for a wrong password.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "sheet/open_workbook.h"
#include "sheet/shared/compound_file.h"
#include "sheet/xls/workbook_stream.h"
#include "xls_test_support.h"

namespace gz::sheet {
namespace {

using namespace testing;

struct Outcome {
  WorkbookFault fault;
  std::string message;
};

std::optional<Outcome> outcomeOf(const ByteVec& file, const char* password) {
  PasswordSource ask;
  if (password) {
    ask = [password](const std::string&, bool lastWasWrong) -> std::optional<std::string> {
      if (lastWasWrong) return std::nullopt;
      return std::string(password);
    };
  }
  try {
    readWorkbook(file.data(), file.size(), "t.xlsx", ask);
  } catch (const WorkbookError& e) {
    return Outcome{e.fault(), e.what()};
  }
  return std::nullopt;
}

struct Streams {
  ByteVec info, package;
  ByteVec file() const { return compoundFile({{"EncryptionInfo", info}, {"EncryptedPackage", package}}); }
};

Streams streamsOf(const char* sample) {
  const ByteVec bytes = readTestFile(std::string("sheet/encrypted/") + sample);
  const CompoundFile file(bytes.data(), bytes.size());
  return {file.read("EncryptionInfo"), file.read("EncryptedPackage")};
}

// The agile sample with one piece of its XML description replaced.
Streams agileWith(const std::string& from, const std::string& to) {
  Streams s = streamsOf("poi_protected_sha512.xlsx");
  std::string xml(s.info.begin() + 8, s.info.end());
  const std::size_t at = xml.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) xml.replace(at, from.size(), to);
  s.info.resize(8);
  s.info.insert(s.info.end(), xml.begin(), xml.end());
  return s;
}

constexpr const char* kAgilePassword = "this is a test";
constexpr const char* kStandardPassword = "tika";

TEST(EncryptedDamage, BrokenPackagesAreDamagedOrUnsupported) {
  const Streams agile = streamsOf("poi_protected_sha512.xlsx");
  const Streams standard = streamsOf("poi_protected_passtika.xlsx");
  const std::string damagedInfo = "文件已损坏(加密信息无效): t.xlsx";
  const std::string unsupported = "不支持此加密方式: t.xlsx";

  struct Case {
    const char* name;
    Streams streams;
    const char* password;
    WorkbookFault fault;
    std::string message;
  };
  std::vector<Case> cases;
  auto add = [&](const char* name, Streams s, const char* password, WorkbookFault fault, std::string message) {
    cases.push_back({name, std::move(s), password, fault, std::move(message)});
  };
  Streams shortInfo = standard;
  shortInfo.info.resize(6);
  add("info shorter than its version", shortInfo, kStandardPassword, WorkbookFault::Damaged, damagedInfo);
  Streams cutHeader = standard;
  cutHeader.info.resize(40);
  add("standard header cut short", cutHeader, kStandardPassword, WorkbookFault::Damaged, damagedInfo);
  Streams hugeHeader = standard;
  hugeHeader.info[8] = 0xFF, hugeHeader.info[11] = 0x7F;
  add("standard header size beyond the stream", hugeHeader, kStandardPassword, WorkbookFault::Damaged, damagedInfo);
  Streams rc4Standard = standard;
  rc4Standard.info[8 + 4 + 8] = 0x01, rc4Standard.info[8 + 4 + 9] = 0x68;  // algorithm id 0x6801
  add("standard with RC4", rc4Standard, kStandardPassword, WorkbookFault::Unsupported, unsupported);
  Streams extensible = standard;
  extensible.info[2] = 3;
  add("extensible encryption", extensible, kStandardPassword, WorkbookFault::Unsupported, unsupported);

  add("malformed XML", agileWith("</keyEncryptors>", "</keyEncryptor>"), kAgilePassword, WorkbookFault::Damaged,
      damagedInfo);
  add("XML with a DTD", agileWith("<encryption ", "<!DOCTYPE encryption [<!ENTITY a \"b\">]><encryption "),
      kAgilePassword, WorkbookFault::Damaged, damagedInfo);
  add("another cipher", agileWith("cipherAlgorithm=\"AES\"", "cipherAlgorithm=\"DES\""), kAgilePassword,
      WorkbookFault::Unsupported, unsupported);
  add("another chaining", agileWith("ChainingModeCBC", "ChainingModeCFB"), kAgilePassword, WorkbookFault::Unsupported,
      unsupported);
  add("certificate key only", agileWith("keyEncryptor/password\">", "keyEncryptor/certificate\">"), kAgilePassword,
      WorkbookFault::Unsupported, unsupported);
  add("spin count beyond any writer", agileWith("spinCount=\"100000\"", "spinCount=\"4000000000\""), kAgilePassword,
      WorkbookFault::Damaged, damagedInfo);
  add("salt of the wrong size", agileWith("saltSize=\"16\"", "saltSize=\"12\""), kAgilePassword, WorkbookFault::Damaged,
      damagedInfo);
  add("hash size of another hash", agileWith("hashSize=\"64\"", "hashSize=\"20\""), kAgilePassword,
      WorkbookFault::Damaged, damagedInfo);
  add("missing attribute", agileWith("encryptedKeyValue=", "encryptedKeyValueX="), kAgilePassword,
      WorkbookFault::Damaged, damagedInfo);

  for (const Streams* s : {&agile, &standard}) {
    const char* password = s == &agile ? kAgilePassword : kStandardPassword;
    Streams cut = *s;
    cut.package.resize(cut.package.size() / 2);
    add("package cut in half", cut, password, WorkbookFault::Damaged, "文件已损坏(加密数据不完整): t.xlsx");
    Streams noSize = *s;
    noSize.package.resize(5);
    add("package without its size", noSize, password, WorkbookFault::Damaged, "文件已损坏(加密数据不完整): t.xlsx");
    Streams forgedSize = *s;
    forgedSize.package[7] = 0x40;  // a size of exabytes
    add("package size forged", forgedSize, password, WorkbookFault::Damaged, "文件已损坏(加密数据不完整): t.xlsx");
  }
  Streams flipped = agile;
  flipped.package[flipped.package.size() / 2] ^= 1;
  add("agile package altered", flipped, kAgilePassword, WorkbookFault::Damaged, "文件已损坏(加密数据校验失败): t.xlsx");

  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto outcome = outcomeOf(c.streams.file(), c.password);
    ASSERT_TRUE(outcome);
    EXPECT_EQ(outcome->fault, c.fault);
    EXPECT_EQ(outcome->message, c.message);
  }

  // The unaltered streams open, so every refusal above is the alteration's.
  EXPECT_FALSE(outcomeOf(agile.file(), kAgilePassword));
  EXPECT_FALSE(outcomeOf(standard.file(), kStandardPassword));
  // A package without its description.
  EXPECT_EQ(outcomeOf(compoundFile({{"EncryptedPackage", agile.package}}), kAgilePassword)->message, damagedInfo);
}

// FILEPASS records of .xls workbooks, built into a stream with one cell.
TEST(EncryptedDamage, BrokenFilePassRecords) {
  auto outcomeFor = [](const ByteVec& filePass) {
    BookLayout book;
    book.globals.push_back(record(0x002F, filePass));
    book.sheets.push_back(SheetLayout{unicodeString(u"S", false), 0, {numberCell(0, 0, 0, 1)}});
    return outcomeOf(compoundFile(buildStream(book)), "password");
  };
  const ByteVec cryptoApiHeader = Payload().u16(1).u16(4).u16(2).u32(0).u32(32).u32(0).u32(0);
  struct Case {
    const char* name;
    ByteVec payload;
    WorkbookFault fault;
    const char* message;
  } cases[] = {
      {"shorter than its scheme", Payload().u16(0).u16(1).u8(0), WorkbookFault::Damaged,
       "文件已损坏(加密信息无效): t.xlsx"},
      {"unknown scheme", Payload().u16(2).u16(1).u16(1), WorkbookFault::Unsupported, "不支持此加密方式: t.xlsx"},
      {"unknown RC4 version", Payload().u16(1).u16(9).u16(9), WorkbookFault::Unsupported, "不支持此加密方式: t.xlsx"},
      {"RC4 without its verifier", Payload().u16(1).u16(1).u16(1).raw(ByteVec(20, 7)), WorkbookFault::Damaged,
       "文件已损坏(加密信息无效): t.xlsx"},
      {"CryptoAPI header beyond the record", Payload().u16(1).u16(4).u16(2).u32(0).u32(4000), WorkbookFault::Damaged,
       "文件已损坏(加密信息无效): t.xlsx"},
      {"CryptoAPI with AES",
       Payload()
           .raw(cryptoApiHeader)
           .u32(0x660E)
           .u32(0x8004)
           .u32(128)
           .raw(ByteVec(12, 0))
           .u32(16)
           .raw(ByteVec(32, 1))
           .u32(20)
           .raw(ByteVec(20, 2)),
       WorkbookFault::Unsupported, "不支持此加密方式: t.xlsx"},
      {"CryptoAPI verifier cut short",
       Payload()
           .raw(cryptoApiHeader)
           .u32(0x6801)
           .u32(0x8004)
           .u32(128)
           .raw(ByteVec(12, 0))
           .u32(16)
           .raw(ByteVec(32, 1))
           .u32(20)
           .raw(ByteVec(8, 2)),
       WorkbookFault::Damaged, "文件已损坏(加密信息无效): t.xlsx"},
      {"XOR that no password opens", Payload().u16(0).u16(0x1234).u16(0x5678), WorkbookFault::WrongPassword,
       "密码不正确: t.xlsx"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto outcome = outcomeFor(c.payload);
    ASSERT_TRUE(outcome);
    EXPECT_EQ(outcome->fault, c.fault);
    EXPECT_EQ(outcome->message, c.message);
  }
}

// Truncations of the real encrypted .xls files at every 97th byte of their
// workbook stream, with the right password: a workbook or one error.
TEST(EncryptedDamage, CutEncryptedStreamsGiveAWorkbookOrOneError) {
  for (const char* sample :
       {"poi_xor-encryption-abc.xls", "poi_password.xls", "sheetjs_password_2002_128_strong.xls"}) {
    SCOPED_TRACE(sample);
    const char* password = std::string(sample).find("xor") != std::string::npos ? "abc" : "password";
    const ByteVec bytes = readTestFile(std::string("sheet/encrypted/") + sample);
    const ByteVec stream = extractWorkbookStream(bytes.data(), bytes.size()).bytes;
    int refused = 0;
    for (std::size_t cut = 1; cut < stream.size(); cut += 97) {
      const auto outcome = outcomeOf(compoundFile(ByteVec(stream.begin(), stream.begin() + cut)), password);
      if (!outcome) continue;
      ++refused;
      EXPECT_NE(outcome->fault, WorkbookFault::WrongPassword) << "cut at " << cut;
    }
    EXPECT_GT(refused, 0);
  }
}

}  // namespace
}  // namespace gz::sheet
