#include "cli/help_text.h"

#include <QStringList>
#include <vector>

namespace gz::cli {
namespace {

// The width of Qt's help lines.
constexpr int kLineColumns = 79;

bool isWide(char32_t c) {
  return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) || (c >= 0xAC00 && c <= 0xD7A3) ||
         (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
         (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFD);
}

int columnsOf(const std::u32string& s) {
  int n = 0;
  for (char32_t c : s) n += isWide(c) ? 2 : 1;
  return n;
}

bool opensPhrase(char32_t c) { return std::u32string_view(U"（“‘《「『【").find(c) != std::u32string_view::npos; }
bool closesPhrase(char32_t c) {
  return std::u32string_view(U"，。、；：！？）”’》」』】").find(c) != std::u32string_view::npos;
}

// Where the text of an option or argument starts in its first help line:
// after the name and the blanks that pad it (two at least); 0 for a line
// that is none.
int textColumn(const QString& line) {
  if (!line.startsWith(QLatin1String("  ")) || line.size() < 3 || line[2].isSpace()) return 0;
  const qsizetype gap = line.indexOf(QLatin1String("  "), 2);
  if (gap < 0) return 0;
  qsizetype column = gap;
  while (column < line.size() && line[column] == QLatin1Char(' ')) ++column;
  return column < line.size() ? static_cast<int>(column) : 0;
}

// A word (letters, digits and narrow marks up to a blank or a wide
// character) or one wide character, and whether a blank came before it.
struct Unit {
  std::u32string text;
  bool blankBefore = false;
};

std::vector<Unit> unitsOf(const std::u32string& text) {
  std::vector<Unit> units;
  bool blank = false;
  for (char32_t c : text) {
    if (c == U' ') {
      blank = true;
    } else if (isWide(c) || units.empty() || blank || isWide(units.back().text.back())) {
      units.push_back({std::u32string(1, c), blank});
      blank = false;
    } else {
      units.back().text.push_back(c);
    }
  }
  return units;
}

// `text` in lines of at most `width` columns.
std::vector<std::u32string> wrapped(const std::u32string& text, int width) {
  std::vector<std::vector<Unit>> lines(1);
  int used = 0;
  for (const Unit& u : unitsOf(text)) {
    std::vector<Unit>& line = lines.back();
    const int needed = columnsOf(u.text) + (u.blankBefore && !line.empty() ? 1 : 0);
    if (line.empty() || used + needed <= width) {
      line.push_back(u);
      used += needed;
      continue;
    }
    // A closing mark does not start a line, nor an opening one end it: the
    // unit before goes down with it.
    std::vector<Unit> next;
    if (line.size() > 1 && (closesPhrase(u.text.front()) || opensPhrase(line.back().text.back()))) {
      next.push_back(line.back());
      line.pop_back();
    }
    next.push_back(u);
    used = 0;
    for (std::size_t i = 0; i < next.size(); ++i)
      used += columnsOf(next[i].text) + (i > 0 && next[i].blankBefore ? 1 : 0);
    lines.push_back(std::move(next));
  }
  std::vector<std::u32string> out;
  for (const std::vector<Unit>& line : lines) {
    std::u32string s;
    for (const Unit& u : line) s += (u.blankBefore && !s.empty() ? U" " : U"") + u.text;
    out.push_back(std::move(s));
  }
  return out;
}

// The text of the option whose first line is `lines[first]`, its pieces
// joined again. Qt breaks a line at its last blank, which it drops; a line
// without a blank it cuts when full: at `full` characters the first line,
// one more the later ones (Qt does not count a line's first character).
std::u32string joinedText(const QStringList& lines, qsizetype first, qsizetype end, int column) {
  std::u32string text;
  const int full = kLineColumns - column;
  for (qsizetype i = first; i < end; ++i) {
    if (i > first) {
      const QString before = lines[i - 1].mid(column);
      const bool cut = !before.contains(QLatin1Char(' ')) && before.size() == full + (i - 1 > first ? 1 : 0);
      if (!cut) text += U' ';
    }
    text += lines[i].mid(column).toStdU32String();
  }
  return text;
}

}  // namespace

QString wrapWideTexts(const QString& qtHelp) {
  const QStringList lines = qtHelp.split(QLatin1Char('\n'));
  QStringList out;
  for (qsizetype i = 0; i < lines.size();) {
    const int column = textColumn(lines[i]);
    qsizetype end = i + 1;
    const QString indent(column, QLatin1Char(' '));
    while (column > 0 && end < lines.size() && lines[end].startsWith(indent) && lines[end].size() > column &&
           !lines[end][column].isSpace())
      ++end;
    const std::u32string text = column > 0 ? joinedText(lines, i, end, column) : std::u32string();
    if (column == 0 || columnsOf(text) == static_cast<int>(text.size())) {
      for (qsizetype k = i; k < end; ++k) out << lines[k];
    } else {
      const std::vector<std::u32string> wrappedLines = wrapped(text, kLineColumns - column);
      for (std::size_t k = 0; k < wrappedLines.size(); ++k)
        out << (k == 0 ? lines[i].left(column) : indent) + QString::fromStdU32String(wrappedLines[k]);
    }
    i = end;
  }
  return out.join(QLatin1Char('\n'));
}

std::string helpTextOf(const QCommandLineParser& parser) { return wrapWideTexts(parser.helpText()).toStdString(); }

}  // namespace gz::cli
