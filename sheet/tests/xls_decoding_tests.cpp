// The record walker, string decoding across CONTINUE records, and the
// compact number forms.
#include <gtest/gtest.h>

#include <cstring>

#include "sheet/model/read_error.h"
#include "sheet/xls/biff_records.h"
#include "sheet/xls/biff_sst.h"
#include "sheet/xls/biff_text.h"
#include "sheet/xls/biff_values.h"
#include "xls_test_support.h"

namespace gz::sheet {
namespace {

using namespace biff;
using testing::ByteVec;
using testing::Payload;

uint32_t highWordOf(double v) {
  uint64_t bits;
  std::memcpy(&bits, &v, sizeof v);
  return static_cast<uint32_t>(bits >> 32);
}

TEST(XlsRk, DecodesAllFourForms) {
  struct Case {
    uint32_t rk;
    double expected;
  } cases[] = {
      {(1u << 2) | 2, 1},                                  // integer
      {static_cast<uint32_t>(-5 << 2) | 2, -5},            // negative integer
      {(12345u << 2) | 3, 123.45},                         // integer / 100
      {static_cast<uint32_t>(-12345 << 2) | 3, -123.45},   // negative integer / 100
      {(536870911u << 2) | 2, 536870911},                  // largest integer
      {highWordOf(1.5), 1.5},                              // float
      {highWordOf(-2.75), -2.75},                          // negative float
      {highWordOf(1.5) | 1, 0.015},                        // float / 100
      {0, 0},
  };
  for (const Case& c : cases) EXPECT_DOUBLE_EQ(decodeRk(c.rk), c.expected) << std::hex << c.rk;
}

TEST(XlsFormulaResult, TellsEveryCachedKind) {
  using Kind = FormulaResult::Kind;
  const ByteVec number = Payload().f64(-0.5);
  FormulaResult r = decodeFormulaResult(number.data());
  EXPECT_EQ(r.kind, Kind::Number);
  EXPECT_EQ(r.number, -0.5);

  struct Case {
    uint8_t type, value;
    Kind kind;
    uint8_t code;
  } cases[] = {
      {0, 0, Kind::String, 0},      {1, 1, Kind::Boolean, 1},     {1, 0, Kind::Boolean, 0},
      {2, 0x2A, Kind::Error, 0x2A}, {3, 0, Kind::EmptyString, 0}, {9, 0, Kind::Unknown, 0},
  };
  for (const Case& c : cases) {
    const ByteVec bytes = Payload().u8(c.type).u8(0).u8(c.value).u8(0).u16(0).u16(0xFFFF);
    r = decodeFormulaResult(bytes.data());
    EXPECT_EQ(r.kind, c.kind) << int(c.type);
    EXPECT_EQ(r.code, c.code) << int(c.type);
  }
}

TEST(XlsRecords, WalksRecordsAndRefusesOneRunningPastTheEnd) {
  ByteVec stream = testing::record(0x0042, Payload().u16(936));
  const ByteVec next = testing::record(0x0203, Payload().u32(7));
  stream.insert(stream.end(), next.begin(), next.end());

  RecordReader reader(stream);
  Record rec;
  ASSERT_TRUE(reader.next(rec));
  EXPECT_EQ(rec.id, 0x0042);
  EXPECT_EQ(rec.payload.size(), 2u);
  ASSERT_TRUE(reader.next(rec));
  EXPECT_EQ(rec.offset, 6u);
  EXPECT_FALSE(reader.next(rec));

  stream.pop_back();  // the last payload is now one byte short
  RecordReader cut(stream);
  ASSERT_TRUE(cut.next(rec));
  EXPECT_THROW(cut.next(rec), ReadError);

  const ByteVec halfHeader = {0x42, 0x00, 0x02};
  RecordReader partial(halfHeader);
  EXPECT_THROW(partial.next(rec), ReadError);
}

TEST(XlsRecords, TakesOnlyTheContinuesThatFollow) {
  ByteVec stream = testing::record(0x00FC, Payload().u8(1));
  for (const ByteVec& r : {testing::record(0x003C, Payload().u8(2)), testing::record(0x003C, Payload().u8(3)),
                           testing::record(0x000A, {}), testing::record(0x003C, Payload().u8(4))})
    stream.insert(stream.end(), r.begin(), r.end());
  RecordReader reader(stream);
  Record rec;
  ASSERT_TRUE(reader.next(rec));
  std::vector<Bytes> parts{rec.payload};
  reader.takeContinues(parts);
  ASSERT_EQ(parts.size(), 3u);
  EXPECT_EQ(parts[2][0], 3);
  ASSERT_TRUE(reader.next(rec));
  EXPECT_EQ(rec.id, 0x000A);
}

std::u16string readSplit(const std::vector<ByteVec>& parts) {
  std::vector<Bytes> spans;
  for (const ByteVec& p : parts) spans.emplace_back(p);
  PartsReader r(spans);
  return readUnicodeString(r, StringLength::TwoBytes);
}

TEST(XlsStrings, ReadsCompressedAndWideCharacters) {
  EXPECT_EQ(readSplit({testing::unicodeString(u"abc")}), u"abc");
  EXPECT_EQ(readSplit({testing::unicodeString(u"工资A")}), u"工资A");
  EXPECT_EQ(readSplit({testing::unicodeString(u"")}), u"");
  // Latin-1 characters stored one byte each keep their code.
  EXPECT_EQ(readSplit({testing::unicodeString(u"\u00e9t\u00e9")}), u"\u00e9t\u00e9");
}

TEST(XlsStrings, ChangesCharacterWidthAtEachContinuation) {
  // "ab" compressed, then a continuation switching to two-byte characters for
  // "工", then one going back to one byte for "z".
  const ByteVec first = Payload().u16(4).u8(0).text("ab");
  const ByteVec second = Payload().u8(1).u16(0x5DE5);
  const ByteVec third = Payload().u8(0).text("z");
  EXPECT_EQ(readSplit({first, second, third}), u"ab工z");

  // The characters may start right at the continuation.
  const ByteVec header = Payload().u16(2).u8(0);
  const ByteVec chars = Payload().u8(1).u16(0x4E2D).u16(0x6587);
  EXPECT_EQ(readSplit({header, chars}), u"中文");
}

TEST(XlsStrings, SkipsRichTextRunsAndPhoneticData) {
  // Two rich-text runs and six bytes of phonetic data, split over two parts;
  // the next string must start right after them.
  const ByteVec first = Payload().u16(2).u8(0x0C).u16(2).u32(6).text("ok").u32(0).u16(1);
  const ByteVec second = Payload().u16(0).text("PHONET").raw(testing::unicodeString(u"next"));
  std::vector<Bytes> spans{Bytes(first), Bytes(second)};
  PartsReader r(spans);
  EXPECT_EQ(readUnicodeString(r, StringLength::TwoBytes), u"ok");
  EXPECT_EQ(readUnicodeString(r, StringLength::TwoBytes), u"next");
  EXPECT_TRUE(r.atEnd());
}

TEST(XlsStrings, RefusesAStringLongerThanItsRecords) {
  const ByteVec shortText = Payload().u16(5).u8(0).text("abc");
  EXPECT_THROW(readSplit({shortText}), ReadError);
  const ByteVec wideCut = Payload().u16(2).u8(1).u16(0x4E2D).u8(0x87);
  EXPECT_THROW(readSplit({wideCut}), ReadError);
  const ByteVec runsMissing = Payload().u16(1).u8(0x08).u16(3).text("a");
  EXPECT_THROW(readSplit({runsMissing}), ReadError);
}

TEST(XlsSharedStrings, FindsEachStringAcrossContinuations) {
  // Three strings; the second starts exactly at the first continuation and
  // its characters change width at the second one.
  const ByteVec first = Payload().u32(9).u32(3).raw(testing::unicodeString(u"姓名"));
  const ByteVec second = Payload().u16(3).u8(0).text("ab");
  const ByteVec third = Payload().u8(1).u16(0x5DE5).raw(testing::unicodeString(u""));
  const std::vector<Bytes> parts{Bytes(first), Bytes(second), Bytes(third)};
  const SharedStrings sst(parts);
  ASSERT_EQ(sst.size(), 3u);
  EXPECT_EQ(sst.text(0).text, "\xD0\xD5\xC3\xFB");  // 姓名 in GBK
  EXPECT_EQ(sst.text(1).text, "ab\xB9\xA4");          // ab工
  EXPECT_EQ(sst.text(2).text, "");
}

TEST(XlsSharedStrings, CountIsBoundedByTheRecordsAndTruncationIsRefused) {
  // A count far beyond the strings present reserves nothing unbounded and
  // gives the strings there are.
  const ByteVec manyClaimed = Payload().u32(0xFFFFFFFF).u32(0xFFFFFFFF).raw(testing::unicodeString(u"a"));
  EXPECT_EQ(SharedStrings({Bytes(manyClaimed)}).size(), 1u);
  const ByteVec cut = Payload().u32(1).u32(1).u16(10).u8(0).text("abc");
  EXPECT_THROW(SharedStrings({Bytes(cut)}), ReadError);
}

TEST(XlsStrings, ConvertsCodePageTextToGb18030) {
  const TextDecoder gbk(936);
  EXPECT_TRUE(gbk.codePageKnown());
  EXPECT_EQ(gbk.fromCodePage("\xB9\xA4\xD7\xCA").text, "\xB9\xA4\xD7\xCA");  // 工资 stays as it is
  const TextDecoder mac(0x8000);                                             // Mac files' own number
  EXPECT_TRUE(mac.codePageKnown());
  EXPECT_EQ(mac.codePage(), 10000);
  EXPECT_FALSE(TextDecoder(874).codePageKnown());
  EXPECT_EQ(gbk.fromUnicode(u"工资").text, "\xB9\xA4\xD7\xCA");
  EXPECT_EQ(gbk.fromUnicode(u"王䶮").text, "\xCD\xF5\xFE\x9F");
  EXPECT_EQ(gbk.fromUnicode(u"李𬌗").text, "\xC0\xEE\x99\x31\xD2\x39");
}

TEST(XlsStrings, MalformedTextIsMarkedUnreadable) {
  struct Row {
    const char* name;
    DecodedText decoded;
    bool unreadable;
  };
  const TextDecoder gbk(936);
  const Row rows[] = {
      {"well-formed GBK", gbk.fromCodePage("\xB9\xA4"), false},
      {"GBK lead byte without its trail", gbk.fromCodePage("\xB9\xA4\xB9"), true},
      {"well-formed UTF-16 with a pair", gbk.fromUnicode(u"\U0002C317"), false},
      {"unpaired high surrogate", gbk.fromUnicode(std::u16string(1, char16_t(0xD800))), true},
      {"unpaired low surrogate", gbk.fromUnicode(u"a" + std::u16string(1, char16_t(0xDC00))), true},
      {"Western European never fails", TextDecoder(1252).fromCodePage("\x81\xFF"), false},
  };
  for (const Row& r : rows) EXPECT_EQ(r.decoded.unreadable, r.unreadable) << r.name;
}

}  // namespace
}  // namespace gz::sheet
