#include "sheet/xls/xls_globals.h"

#include <unordered_map>
#include <utility>

#include "sheet/model/read_error.h"
#include "sheet/shared/number_format.h"
#include "sheet/xls/biff_text.h"
#include "text/gb18030.h"

namespace gz::sheet {
namespace {

using namespace biff;

constexpr uint16_t kBiff8Version = 0x0600;
constexpr uint16_t kBiff5Version = 0x0500;
constexpr uint16_t kGlobalsBof = 0x0005;
constexpr uint16_t kBiff4WorkbookBof = 0x0100;
constexpr const char* kOldVersion = "Excel版本过旧,无法读取";

// A text as stored: BIFF8 texts are Unicode, BIFF5 texts are bytes in the
// code page, which is only known for sure once all globals are read.
struct StoredText {
  std::u16string wide;
  std::string bytes;
};

struct StoredSheet {
  uint32_t offset = 0;
  uint8_t type = 0;
  StoredText name;
};

SheetKind sheetKind(uint8_t type) {
  switch (type) {
    case 0x00: return SheetKind::Worksheet;
    case 0x01: return SheetKind::MacroSheet;
    case 0x02: return SheetKind::Chart;
    case 0x06: return SheetKind::Module;
    default: return SheetKind::Other;
  }
}

void requireSize(const Record& rec, std::size_t size) {
  if (rec.payload.size() < size) throw ReadError(kRecordTooShort);
}

class GlobalsParser {
 public:
  GlobalsParser(Bytes stream, bool bookStream) : reader_(stream) { readBof(bookStream); }

  WorkbookGlobals parse() {
    Record rec;
    while (reader_.next(rec)) {
      if (rec.id == kEof) return finish();
      handle(rec);
    }
    throw ReadError("文件已损坏(工作簿不完整)");
  }

 private:
  void readBof(bool bookStream) {
    Record rec;
    if (!reader_.next(rec)) throw ReadError(kNotWorkbook, WorkbookFault::NotAWorkbook);
    if (isOldBofId(rec.id)) throw ReadError(kOldVersion, WorkbookFault::Unsupported);
    if (rec.id != kBof) throw ReadError(kNotWorkbook, WorkbookFault::NotAWorkbook);
    requireSize(rec, 4);
    const uint16_t version = le16(rec.payload.data());
    const uint16_t type = le16(rec.payload.data() + 2);
    if (type == kBiff4WorkbookBof) throw ReadError(kOldVersion, WorkbookFault::Unsupported);
    if (type != kGlobalsBof) throw ReadError(kNotWorkbook, WorkbookFault::NotAWorkbook);
    if (version == kBiff8Version) {
      out_.biff8 = true;
    } else if (version == kBiff5Version) {
      out_.biff8 = false;
    } else {
      out_.biff8 = !bookStream;
    }
  }

  void handle(const Record& rec) {
    switch (rec.id) {
      case kFilePass:
        // The records after it have been decrypted before the globals are read.
        break;
      case kCodePage:
        requireSize(rec, 2);
        out_.codePage = le16(rec.payload.data());
        break;
      case kDateMode:
        requireSize(rec, 2);
        out_.date1904 = le16(rec.payload.data()) == 1;
        break;
      case kWindow1:
        if (!sawWindow1_) {
          requireSize(rec, 12);
          out_.activeTab = le16(rec.payload.data() + 10);
          sawWindow1_ = true;
        }
        break;
      case kBoundSheet: {
        requireSize(rec, 6);
        StoredSheet sheet;
        sheet.offset = le32(rec.payload.data());
        sheet.type = rec.payload[5];
        sheet.name = readText(rec.payload.subspan(6), StringLength::OneByte);
        sheets_.push_back(std::move(sheet));
        break;
      }
      case kFormat: {
        requireSize(rec, 2);
        formats_[le16(rec.payload.data())] =
            readText(rec.payload.subspan(2), out_.biff8 ? StringLength::TwoBytes : StringLength::OneByte);
        break;
      }
      case kXf:
        requireSize(rec, 4);
        xfFormats_.push_back(le16(rec.payload.data() + 2));
        break;
      case kSst: readSst(rec); break;
      default: break;
    }
  }

  StoredText readText(Bytes payload, StringLength length) {
    PartsReader r(payload);
    StoredText t;
    if (out_.biff8) {
      t.wide = readUnicodeString(r, length);
    } else {
      t.bytes = readByteString(r, length);
    }
    return t;
  }

  void readSst(const Record& rec) {
    std::vector<Bytes> parts{rec.payload};
    reader_.takeContinues(parts);
    out_.sst = SharedStrings(std::move(parts));
  }

  WorkbookGlobals finish() {
    const TextDecoder decoder(out_.codePage);
    out_.codePageKnown = out_.biff8 || decoder.codePageKnown();
    auto decoded = [&](const StoredText& t) {
      return (out_.biff8 ? decoder.fromUnicode(t.wide) : decoder.fromCodePage(t.bytes)).text;
    };

    for (const StoredSheet& s : sheets_)
      out_.sheets.push_back(SheetEntry{decoded(s.name), s.offset, sheetKind(s.type)});

    std::unordered_map<uint16_t, bool> dateByFormat;
    out_.xfIsDate.reserve(xfFormats_.size());
    for (uint16_t format : xfFormats_) {
      auto known = dateByFormat.find(format);
      if (known == dateByFormat.end()) {
        auto code = formats_.find(format);
        const std::string utf8 = code == formats_.end() ? std::string() : text::gb18030ToUtf8(decoded(code->second));
        known = dateByFormat.emplace(format, isDateFormat(format, utf8)).first;
      }
      out_.xfIsDate.push_back(known->second);
    }
    return std::move(out_);
  }

  RecordReader reader_;
  WorkbookGlobals out_;
  bool sawWindow1_ = false;
  std::vector<StoredSheet> sheets_;
  std::unordered_map<uint16_t, StoredText> formats_;
  std::vector<uint16_t> xfFormats_;
};

}  // namespace

WorkbookGlobals readGlobals(Bytes stream, bool bookStream) { return GlobalsParser(stream, bookStream).parse(); }

}  // namespace gz::sheet
