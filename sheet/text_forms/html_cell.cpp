#include "sheet/text_forms/html_cell.h"
#include "sheet/shared/xml_handles.h"

#include <libxml/tree.h>

#include <cctype>
#include <vector>

namespace gz::sheet {

namespace {

std::string_view nameOf(const xmlNode* n) {
  return n->name ? std::string_view(reinterpret_cast<const char*>(n->name)) : std::string_view();
}

bool isBlock(std::string_view name) {
  static constexpr std::string_view kBlocks[] = {"p",          "div", "li", "ul", "ol",     "tr",      "td", "th",
                                                 "table",      "h1",  "h2", "h3", "h4",     "h5",      "h6", "pre",
                                                 "blockquote", "dl",  "dt", "dd", "center", "address", "hr"};
  for (std::string_view b : kBlocks)
    if (b == name) return true;
  return false;
}

bool showsNothing(std::string_view name) {
  return name == "script" || name == "style" || name == "head" || name == "title" || name == "noscript";
}

class TextCollector {
 public:
  void walk(const xmlNode* node) {
    for (const xmlNode* n = node->children; n; n = n->next) {
      if (n->type == XML_TEXT_NODE || n->type == XML_CDATA_SECTION_NODE) {
        addText(n->content ? reinterpret_cast<const char*>(n->content) : "");
      } else if (n->type == XML_ELEMENT_NODE) {
        const std::string_view name = nameOf(n);
        if (showsNothing(name)) continue;
        if (name == "br") {
          lines_.emplace_back();
          continue;
        }
        const bool block = isBlock(name);
        if (block) breakLine();
        walk(n);
        if (block) breakLine();
      }
    }
  }

  std::string result() {
    std::string out;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
      std::string_view line = lines_[i];
      while (!line.empty() && line.front() == ' ') line.remove_prefix(1);
      while (!line.empty() && line.back() == ' ') line.remove_suffix(1);
      if (i > 0) out += '\n';
      out += line;
    }
    while (!out.empty() && out.back() == '\n') out.pop_back();  // a final break adds no line
    return out;
  }

 private:
  // A block starts a new line unless the line is still empty.
  void breakLine() {
    std::string_view current = lines_.back();
    while (!current.empty() && current.back() == ' ') current.remove_suffix(1);
    if (!current.empty()) lines_.emplace_back();
  }

  void addText(std::string_view s) {
    std::string& line = lines_.back();
    for (std::size_t i = 0; i < s.size(); ++i) {
      const char c = s[i];
      const bool nbsp = c == '\xC2' && i + 1 < s.size() && s[i + 1] == '\xA0';
      if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || nbsp) {
        if (nbsp) ++i;
        if (line.empty() || line.back() != ' ') line += ' ';
      } else {
        line += c;
      }
    }
  }

  std::vector<std::string> lines_{std::string()};
};

std::string attribute(const xmlNode* n, const char* name) {
  const XmlString v(xmlGetProp(n, reinterpret_cast<const xmlChar*>(name)));
  if (!v) return {};
  return std::string(reinterpret_cast<const char*>(v.get()));
}

std::string lowered(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  return out;
}

// The value of mso-number-format in a declaration block, as written.
std::optional<std::string> numberFormatIn(std::string_view block) {
  const std::string low = lowered(block);
  const std::size_t at = low.find("mso-number-format");
  if (at == std::string::npos) return std::nullopt;
  std::size_t pos = block.find(':', at);
  if (pos == std::string_view::npos) return std::nullopt;
  ++pos;
  // Up to the ";" that ends the declaration, outside quotes.
  char quote = 0;
  std::size_t end = pos;
  for (; end < block.size(); ++end) {
    const char c = block[end];
    if (c == '\\' && end + 1 < block.size()) {
      ++end;
    } else if (quote) {
      if (c == quote) quote = 0;
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if (c == ';' || c == '}') {
      break;
    }
  }
  return unescapedFormat(block.substr(pos, end - pos));
}

}  // namespace

std::string htmlCellText(const xmlNode* cell) {
  TextCollector collector;
  collector.walk(cell);
  return collector.result();
}

std::string unescapedFormat(std::string_view value) {
  auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!value.empty() && blank(value.front())) value.remove_prefix(1);
  while (!value.empty() && blank(value.back())) value.remove_suffix(1);
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
    value = value.substr(1, value.size() - 2);
  std::string out;
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (value[i] == '\\' && i + 1 < value.size()) {
      // A doubled backslash in the style is one backslash in the format code.
      if (value[i + 1] == '\\') out += '\\';
      else out += value[i + 1];
      ++i;
    } else {
      out += value[i];
    }
  }
  return out;
}

void HtmlNumberFormats::addStyleSheet(std::string_view css) {
  for (std::size_t open = css.find('{'); open != std::string_view::npos; open = css.find('{', open + 1)) {
    const std::size_t close = css.find('}', open);
    if (close == std::string_view::npos) break;
    const std::optional<std::string> format = numberFormatIn(css.substr(open + 1, close - open - 1));
    if (format) {
      // The selector runs back to the end of the previous rule.
      const std::size_t previous = css.rfind('}', open);
      const std::string_view selector = css.substr(previous == std::string_view::npos ? 0 : previous + 1,
                                                   open - (previous == std::string_view::npos ? 0 : previous + 1));
      for (std::size_t dot = selector.find('.'); dot != std::string_view::npos; dot = selector.find('.', dot + 1)) {
        std::size_t end = dot + 1;
        while (end < selector.size() && (std::isalnum(static_cast<unsigned char>(selector[end])) ||
                                         selector[end] == '-' || selector[end] == '_'))
          ++end;
        if (end > dot + 1) byClass_[lowered(selector.substr(dot + 1, end - dot - 1))] = *format;
      }
    }
    open = close;
  }
}

std::optional<std::string> HtmlNumberFormats::formatOf(const xmlNode* cell) const {
  if (std::optional<std::string> inline_ = numberFormatIn(attribute(cell, "style"))) return inline_;
  std::optional<std::string> found;
  const std::string classes = lowered(attribute(cell, "class"));
  for (std::size_t start = 0; start < classes.size();) {
    std::size_t end = classes.find_first_of(" \t\r\n", start);
    if (end == std::string::npos) end = classes.size();
    if (end > start) {
      auto it = byClass_.find(std::string_view(classes).substr(start, end - start));
      if (it != byClass_.end()) found = it->second;
    }
    start = end + 1;
  }
  return found;
}

}  // namespace gz::sheet
