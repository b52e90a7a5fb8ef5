// readDelimitedText(): CSV and tab-separated text, as a sheet program opens
// it. The encoding is GB 18030 (every GBK file) unless a byte order mark says
// UTF-8 or UTF-16 (a sheet program's "Unicode text") or the bytes can only be
// UTF-8. The separator is the one the first line uses: tab, else comma, else
// semicolon. A field in double quotes may hold separators and line breaks,
// with "" for a quote. Each field is typed like text typed into a cell
// (sheet/text_forms/typed_text.h).
#include <memory>
#include <string>
#include <string_view>

#include "sheet/model/reader_helpers.h"
#include "sheet/model/workbook.h"
#include "sheet/shared/byte_order.h"
#include "sheet/text_forms/text_form_readers.h"
#include "sheet/text_forms/typed_text.h"
#include "text/encoding_guess.h"
#include "text/gb18030.h"

namespace gz::sheet {

namespace {

constexpr uint32_t kMaxRow = 1048576;
constexpr uint32_t kMaxCol = 16384;

struct DecodedFile {
  std::string owned;
  std::string_view bytes;  // UTF-8 (`utf8`) or GB 18030
  bool utf8 = false;
};

// UTF-16 as UTF-8. An unpaired surrogate keeps its three-byte form, which
// is no valid UTF-8, so the field that holds it is found unreadable.
std::string fromUtf16(const unsigned char* p, std::size_t size, bool little) {
  std::string out;
  out.reserve(size);
  auto unit = [&](std::size_t i) -> uint32_t { return little ? le16(p + i) : be16(p + i); };
  for (std::size_t i = 0; i + 1 < size; i += 2) {
    uint32_t c = unit(i);
    if (c >= 0xD800 && c <= 0xDBFF && i + 3 < size) {
      const uint32_t low = unit(i + 2);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
        i += 2;
      }
    }
    text::appendUtf8(c, out);
  }
  if (size % 2) out += '\xFF';  // half a character at the end
  return out;
}

DecodedFile decode(const unsigned char* data, std::size_t size) {
  DecodedFile f;
  const std::string_view all(reinterpret_cast<const char*>(data), size);
  if (size >= 2 && ((data[0] == 0xFF && data[1] == 0xFE) || (data[0] == 0xFE && data[1] == 0xFF))) {
    f.owned = fromUtf16(data + 2, size - 2, data[0] == 0xFF);
    f.bytes = f.owned;
    f.utf8 = true;
  } else if (all.substr(0, 3) == "\xEF\xBB\xBF") {
    f.bytes = all.substr(3);
    f.utf8 = true;
  } else {
    f.bytes = all;
    f.utf8 = text::looksLikeUtf8(all);
  }
  return f;
}

// Separators, quotes and line breaks are ASCII bytes, which in UTF-8 and in
// GB 18030 never occur inside a character, so fields are cut from the bytes.
char separatorOf(std::string_view bytes) {
  bool comma = false, semicolon = false, quoted = false;
  for (char c : bytes) {
    if (c == '"') quoted = !quoted;
    if (quoted) continue;
    if (c == '\r' || c == '\n') break;
    if (c == '\t') return '\t';
    comma = comma || c == ',';
    semicolon = semicolon || c == ';';
  }
  return comma ? ',' : semicolon ? ';' : '\t';
}

class FieldReader {
 public:
  FieldReader(std::string_view bytes, char separator) : s_(bytes), sep_(separator) {}

  bool atEnd() const { return pos_ >= s_.size(); }

  // The next field into `out`; `endOfRecord` when a line break or the end
  // of the text follows it.
  void next(std::string& out, bool& endOfRecord) {
    out.clear();
    if (pos_ < s_.size() && s_[pos_] == '"') {
      ++pos_;
      while (pos_ < s_.size()) {
        const char c = s_[pos_++];
        if (c != '"') {
          out += c;
        } else if (pos_ < s_.size() && s_[pos_] == '"') {
          out += '"';
          ++pos_;
        } else {
          break;  // the closing quote; what follows up to the separator is kept as written
        }
      }
    }
    while (pos_ < s_.size() && s_[pos_] != sep_ && s_[pos_] != '\r' && s_[pos_] != '\n') out += s_[pos_++];
    endOfRecord = true;
    if (pos_ >= s_.size()) return;
    const char c = s_[pos_++];
    if (c == sep_) {
      endOfRecord = false;
    } else if (c == '\r' && pos_ < s_.size() && s_[pos_] == '\n') {
      ++pos_;
    }
  }

 private:
  std::string_view s_;
  char sep_;
  std::size_t pos_ = 0;
};

bool holdsNul(std::string_view field) { return field.find('\0') != std::string_view::npos; }

// A field's text as GB 18030; `unreadable` when it held bytes that are no
// character (then shown with U+FFFD in their place).
std::string fieldText(std::string_view field, bool utf8, bool& unreadable) {
  text::ConversionReport report;
  std::string gb;
  if (utf8) {
    gb = text::utf8ToGb18030(field, &report);
  } else if (text::isValidGb18030(field)) {
    gb.assign(field);
  } else {
    gb = text::utf16ToGb18030(text::gb18030ToUtf16(field, &report));
  }
  unreadable = !report.ok() || holdsNul(field);
  return gb;
}

}  // namespace

std::unique_ptr<Workbook> readDelimitedText(const unsigned char* data, std::size_t size, const std::string& name,
                                            const SheetRequest& request) {
  auto book = startSingleSheet(name, request);
  const DecodedFile file = decode(data, size);
  FieldReader fields(file.bytes, separatorOf(file.bytes));
  std::string field;
  uint32_t row = 1, col = 1;
  bool beyondGrid = false;
  while (!fields.atEnd()) {
    bool endOfRecord = false;
    fields.next(field, endOfRecord);
    if (row <= kMaxRow && col <= kMaxCol) {
      bool unreadable = false;
      const std::string text = fieldText(field, file.utf8, unreadable);
      setTypedCell(book->sheet_, row, col, text, unreadable);
      checkCellCount(book->sheet_, name);
    } else if (!field.empty()) {
      beyondGrid = true;
    }
    if (endOfRecord) {
      ++row;
      col = 1;
    } else {
      ++col;
    }
  }
  if (beyondGrid) addNotice(book->notice_, text::utf8ToGb18030("文件超出工作表的1048576行或16384列,超出部分未读取"));
  book->sheet_.finish();
  return book;
}

}  // namespace gz::sheet
