#include "sheet/shared/markup_text.h"

#include <algorithm>

#include "text/encoding_guess.h"
#include "text/gb18030.h"

namespace gz::sheet {

namespace {

// Where a declaration is looked for; a page's <meta> stands in its head.
constexpr std::size_t kDeclarationWindow = 64 * 1024;
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

char lower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

std::string lowered(std::string_view s) {
  std::string out(s);
  std::transform(out.begin(), out.end(), out.begin(), lower);
  return out;
}

bool isNameChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
         c == '.' || c == ':';
}

// The value after `key` and "=" at `pos` in `s` (quoted or not), lower case.
std::string valueAfter(std::string_view s, std::size_t pos) {
  while (pos < s.size() && (s[pos] == ' ' || s[pos] == '\t' || s[pos] == '\r' || s[pos] == '\n')) ++pos;
  if (pos >= s.size() || s[pos] != '=') return {};
  ++pos;
  while (pos < s.size() && (s[pos] == ' ' || s[pos] == '\t' || s[pos] == '\r' || s[pos] == '\n')) ++pos;
  if (pos < s.size() && (s[pos] == '"' || s[pos] == '\'')) ++pos;
  const std::size_t start = pos;
  while (pos < s.size() && isNameChar(s[pos])) ++pos;
  return lowered(s.substr(start, pos - start));
}

std::string xmlDeclarationEncoding(std::string_view head) {
  if (head.substr(0, 5) != "<?xml") return {};
  const std::size_t end = head.find("?>");
  const std::string decl = lowered(head.substr(0, end));
  const std::size_t at = decl.find("encoding");
  return at == std::string::npos ? std::string() : valueAfter(decl, at + 8);
}

std::string metaCharset(std::string_view window) {
  const std::string low = lowered(window);
  for (std::size_t at = low.find("<meta"); at != std::string::npos; at = low.find("<meta", at + 5)) {
    const std::size_t end = low.find('>', at);
    const std::string_view tag = std::string_view(low).substr(at, end == std::string::npos ? end : end - at);
    const std::size_t cs = tag.find("charset");
    if (cs == std::string_view::npos) continue;
    std::string v = valueAfter(tag, cs + 7);
    if (!v.empty()) return v;
  }
  return {};
}

bool isGbFamily(const std::string& cs) {
  static const char* const kNames[] = {"gb2312",    "gbk",         "gb18030", "x-gbk",    "cp936",
                                       "ms936",     "windows-936", "euc-cn",  "csgb2312", "chinese",
                                       "iso-ir-58", "gb_2312-80",  "x-euc-cn"};
  return std::find(std::begin(kNames), std::end(kNames), cs) != std::end(kNames);
}

bool isUtf8(const std::string& cs) { return cs == "utf-8" || cs == "utf8"; }

void fromGb18030(std::string_view bytes, MarkupBytes& out) {
  text::ConversionReport report;
  out.converted = text::gb18030ToUtf8(bytes, &report);
  out.bytes = out.converted;
  out.malformed = !report.ok();
}

// Valid UTF-8 is parsed as it stands; malformed sequences become U+FFFD, by
// way of the lossless GB 18030 text.
void fromUtf8(std::string_view bytes, MarkupBytes& out) {
  if (text::isValidUtf8(bytes)) {
    out.bytes = bytes;
    return;
  }
  out.converted = text::gb18030ToUtf8(text::utf8ToGb18030(bytes));
  out.bytes = out.converted;
  out.malformed = true;
}

}  // namespace

std::string declaredCharset(std::string_view bytes, MarkupKind kind) {
  if (bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom) bytes.remove_prefix(kUtf8Bom.size());
  const std::string_view window = bytes.substr(0, kDeclarationWindow);
  std::size_t start = 0;
  while (start < window.size() &&
         (window[start] == ' ' || window[start] == '\t' || window[start] == '\r' || window[start] == '\n'))
    ++start;
  std::string cs = xmlDeclarationEncoding(window.substr(start));
  if (cs.empty() && kind == MarkupKind::Html) cs = metaCharset(window);
  return cs;
}

void prepareMarkup(std::string_view bytes, MarkupKind kind, MarkupBytes& out) {
  out.bytes = bytes;
  out.encoding = nullptr;
  out.malformed = false;
  if (bytes.size() >= 2 && ((bytes[0] == '\xFF' && bytes[1] == '\xFE') || (bytes[0] == '\xFE' && bytes[1] == '\xFF')))
    return;  // UTF-16 with its byte order mark
  const bool bom = bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom;
  if (bom) bytes.remove_prefix(kUtf8Bom.size());
  const std::string cs = bom ? std::string("utf-8") : declaredCharset(bytes, kind);
  if (isGbFamily(cs)) {
    fromGb18030(bytes, out);
  } else if (isUtf8(cs)) {
    fromUtf8(bytes, out);
  } else if (cs.empty()) {
    // Undeclared: XML is UTF-8 by rule, a page is in the writer's code page;
    // text that can only be UTF-8 is taken as UTF-8 either way.
    const bool utf8 = kind == MarkupKind::Xml ? text::isValidUtf8(bytes) : text::looksLikeUtf8(bytes);
    if (utf8) fromUtf8(bytes, out);
    else fromGb18030(bytes, out);
  } else {
    return;  // another declared character set: libxml2 decodes it
  }
  out.encoding = "UTF-8";
}

std::string markupTextToGb18030(std::string_view utf8, const MarkupBytes& document, bool& unreadable) {
  text::ConversionReport report;
  std::string gb = text::utf8ToGb18030(utf8, &report);
  unreadable = !report.ok() || (document.malformed && utf8.find("\xEF\xBF\xBD") != std::string_view::npos);
  return gb;
}

}  // namespace gz::sheet
