#include "sheet/xls/biff_text.h"

#include <algorithm>
#include <utility>

#include "sheet/model/read_error.h"
#include "text/gb18030.h"

namespace gz::sheet::biff {

namespace {
const Bytes kNoParts[1] = {};
}  // namespace

PartsReader::PartsReader(std::vector<Bytes> parts) : owned_(std::move(parts)) {
  parts_ = owned_.empty() ? std::span<const Bytes>(kNoParts) : std::span<const Bytes>(owned_);
}

PartsReader::PartsReader(Borrow, std::span<const Bytes> parts)
    : parts_(parts.empty() ? std::span<const Bytes>(kNoParts) : parts) {}

bool PartsReader::advance() {
  while (leftInPart() == 0) {
    if (part_ + 1 >= parts_.size()) return false;
    ++part_;
    pos_ = 0;
  }
  return true;
}

bool PartsReader::atEnd() { return !advance(); }

uint8_t PartsReader::u8() {
  if (!advance()) throw ReadError(kRecordTooShort);
  return parts_[part_][pos_++];
}

uint16_t PartsReader::u16() {
  const uint8_t lo = u8();
  return static_cast<uint16_t>(lo | (u8() << 8));
}

uint32_t PartsReader::u32() {
  const uint32_t lo = u16();
  return lo | (static_cast<uint32_t>(u16()) << 16);
}

void PartsReader::skip(std::size_t n) {
  while (n > 0) {
    if (!advance()) throw ReadError(kRecordTooShort);
    const std::size_t step = std::min(n, leftInPart());
    pos_ += step;
    n -= step;
  }
}

void PartsReader::bytes(std::size_t count, std::string& out) {
  while (count > 0) {
    if (!advance()) throw ReadError(kRecordTooShort);
    const std::size_t step = std::min(count, leftInPart());
    out.append(reinterpret_cast<const char*>(parts_[part_].data() + pos_), step);
    pos_ += step;
    count -= step;
  }
}

void PartsReader::seek(Position at) {
  if (at.part >= parts_.size() || at.offset > parts_[at.part].size()) throw ReadError(kRecordTooShort);
  part_ = at.part;
  pos_ = at.offset;
}

void PartsReader::chars(std::size_t count, bool wide, std::u16string* out) {
  if (out) out->reserve(out->size() + count);
  while (count > 0) {
    const uint8_t* p = parts_[part_].data() + pos_;
    const std::size_t avail = std::min(count, wide ? leftInPart() / 2 : leftInPart());
    if (!out) {
      pos_ += wide ? 2 * avail : avail;
    } else if (wide) {
      for (std::size_t i = 0; i < avail; ++i) out->push_back(static_cast<char16_t>(le16(p + 2 * i)));
      pos_ += 2 * avail;
    } else {
      for (std::size_t i = 0; i < avail; ++i) out->push_back(static_cast<char16_t>(p[i]));
      pos_ += avail;
    }
    count -= avail;
    if (count == 0) break;
    // The characters go on in the next part, which opens with its own option byte.
    if (part_ + 1 >= parts_.size()) throw ReadError(kRecordTooShort);
    ++part_;
    pos_ = 0;
    wide = (u8() & 0x01) != 0;
  }
}

namespace {
void readOrSkipString(PartsReader& r, StringLength length, std::u16string* text) {
  const std::size_t count = length == StringLength::OneByte ? r.u8() : r.u16();
  const uint8_t options = r.u8();
  const std::size_t runs = (options & 0x08) ? r.u16() : 0;
  const std::size_t phonetic = (options & 0x04) ? r.u32() : 0;
  r.chars(count, (options & 0x01) != 0, text);
  r.skip(runs * 4);
  r.skip(phonetic);
}
}  // namespace

std::u16string readUnicodeString(PartsReader& r, StringLength length) {
  std::u16string text;
  readOrSkipString(r, length, &text);
  return text;
}

void skipUnicodeString(PartsReader& r, StringLength length) { readOrSkipString(r, length, nullptr); }

std::string readByteString(PartsReader& r, StringLength length) {
  const std::size_t count = length == StringLength::OneByte ? r.u8() : r.u16();
  std::string bytes;
  r.bytes(count, bytes);
  return bytes;
}

namespace {
// Mac files give 0x8000 for Mac Roman.
int normalizedCodePage(int codePage) { return codePage == 0x8000 ? 10000 : codePage; }
}  // namespace

TextDecoder::TextDecoder(int codePage) : codePage_(normalizedCodePage(codePage)) {
  std::string probe;
  known_ = text::codePageToGb18030(codePage_, "", probe);
}

DecodedText TextDecoder::fromUnicode(std::u16string_view text) const {
  text::ConversionReport report;
  DecodedText out{text::utf16ToGb18030(text, &report)};
  out.unreadable = !report.ok();
  return out;
}

DecodedText TextDecoder::fromCodePage(std::string_view bytes) const {
  text::ConversionReport report;
  DecodedText out;
  text::codePageToGb18030(codePage_, bytes, out.text, &report);
  out.unreadable = !report.ok();
  return out;
}

}  // namespace gz::sheet::biff
