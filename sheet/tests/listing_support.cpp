#include "listing_support.h"

#include <cmath>
#include <cstdio>
#include <fstream>

#include "text/gb18030.h"

namespace gz::sheet::testing {

std::string escapedListingText(const std::string& s) {
  std::string out;
  for (char c : s) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default: out += c;
    }
  }
  return out;
}

std::string listingLine(uint32_t row, uint32_t col, const CellValue& v) {
  const std::string at = std::to_string(row) + "," + std::to_string(col);
  char number[40];
  std::snprintf(number, sizeof number, "%.15g", v.number);
  switch (v.kind) {
    case CellKind::Text: return at + " T " + escapedListingText(v.text);
    case CellKind::Number: return at + (v.isDate ? " D " : " N ") + number;
    case CellKind::Boolean: return at + " B " + number;
    case CellKind::Error: return at + " E " + number;
    case CellKind::Empty: break;
  }
  return at + " (empty)";
}

std::vector<std::string> readListing(const std::filesystem::path& file) {
  std::ifstream in(file);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(text::utf8ToGb18030(line));
  return lines;
}

namespace {
// Two numeric lines of one kind whose numbers differ only in the last digits
// printed: readers compute dates with times in different orders.
bool sameNumber(const std::string& a, const std::string& b) {
  char kindA = 0, kindB = 0;
  unsigned ra, ca, rb, cb;
  double va, vb;
  if (std::sscanf(a.c_str(), "%u,%u %c %lf", &ra, &ca, &kindA, &va) != 4) return false;
  if (std::sscanf(b.c_str(), "%u,%u %c %lf", &rb, &cb, &kindB, &vb) != 4) return false;
  if (kindA != kindB || kindA == 'T') return false;
  return std::fabs(va - vb) <= 1e-12 * std::fmax(1.0, std::fabs(vb));
}
}  // namespace

std::vector<std::string> differencesFromListing(const Workbook& book, const std::vector<std::string>& listing) {
  std::vector<std::string> out;
  if (listing.empty()) return {"empty listing"};
  const std::string sheet = "SHEET " + escapedListingText(book.sheetName());
  if (sheet != listing[0])
    out.push_back("expected " + text::gb18030ToUtf8(listing[0]) + ", got " + text::gb18030ToUtf8(sheet));
  for (std::size_t i = 1; i < listing.size(); ++i) {
    unsigned row = 0, col = 0;
    if (std::sscanf(listing[i].c_str(), "%u,%u", &row, &col) != 2) {
      out.push_back("bad listing line " + text::gb18030ToUtf8(listing[i]));
      continue;
    }
    const std::string got = listingLine(row, col, book.value(row, col));
    if (got != listing[i] && !sameNumber(got, listing[i]))
      out.push_back("expected " + text::gb18030ToUtf8(listing[i]) + ", got " + text::gb18030ToUtf8(got));
  }
  if (book.sheet().cellCount() != listing.size() - 1)
    out.push_back("cells: expected " + std::to_string(listing.size() - 1) + ", got " +
                  std::to_string(book.sheet().cellCount()));
  return out;
}

}  // namespace gz::sheet::testing
