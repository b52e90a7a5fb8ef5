#include "import/steps/identity_number.h"

#include <algorithm>
#include <array>

#include "text/bytes.h"

namespace gz::imp {
namespace {

// Lengths of the two forms and where their parts stand.
constexpr std::size_t kLongLength = 18;
constexpr std::size_t kShortLength = 15;
constexpr std::size_t kDateStart = 6;
constexpr int kShortCentury = 1900;
constexpr int kFirstYear = 1900;
constexpr int kCheckModulus = 11;

// The GB 18030 lead byte of full-width ASCII forms, and the full-width blank.
constexpr unsigned char kFullWidthLead = 0xA3;
constexpr unsigned char kFullWidthBase = 0x80;  // A3 (c + 80) is the full-width form of ASCII c
constexpr unsigned char kBlankLead = 0xA1;
constexpr unsigned char kBlankTrail = 0xA1;

IdFinding finding(IdFault fault, char expected = 0, CalendarDay inside = {}, bool male = false) {
  return IdFinding{fault, expected, inside, male};
}

bool isBlankByte(unsigned char c) { return c <= ' '; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool allDigits(std::string_view s) { return std::all_of(s.begin(), s.end(), isDigit); }

int digitsValue(std::string_view s) {
  int v = 0;
  for (char c : s) v = v * 10 + (c - '0');
  return v;
}

bool isRealDay(const CalendarDay& d) {
  if (d.month < 1 || d.month > 12 || d.day < 1) return false;
  static constexpr std::array<int, 12> kDays = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (d.year % 4 == 0 && d.year % 100 != 0) || d.year % 400 == 0;
  if (d.month == 2 && !leap) return d.day <= 28;
  return d.day <= kDays[static_cast<std::size_t>(d.month - 1)];
}

// Where the parts of the number stand in its folded form.
struct Layout {
  CalendarDay birth;
  int sexDigit = 0;
};

Layout layoutOf(const std::string& key) {
  Layout l;
  if (key.size() == kLongLength) {
    const std::string_view k(key);
    l.birth = {digitsValue(k.substr(kDateStart, 4)), digitsValue(k.substr(kDateStart + 4, 2)),
               digitsValue(k.substr(kDateStart + 6, 2))};
    l.sexDigit = key[16] - '0';
  } else {
    const std::string_view k(key);
    l.birth = {kShortCentury + digitsValue(k.substr(kDateStart, 2)), digitsValue(k.substr(kDateStart + 2, 2)),
               digitsValue(k.substr(kDateStart + 4, 2))};
    l.sexDigit = key[14] - '0';
  }
  return l;
}

bool hasIdForm(const std::string& key) {
  if (key.size() == kShortLength) return allDigits(key);
  if (key.size() != kLongLength) return false;
  const char last = key.back();
  return allDigits(std::string_view(key).substr(0, kLongLength - 1)) && (isDigit(last) || last == 'X');
}

void checkDate(const Layout& l, const IdRowFacts& facts, std::vector<IdFinding>& out) {
  if (!isRealDay(l.birth)) {
    out.push_back(finding(IdFault::DateNotADay, 0, l.birth));
    return;
  }
  if (l.birth > facts.today) out.push_back(finding(IdFault::DateInFuture, 0, l.birth));
  else if (l.birth.year < kFirstYear) out.push_back(finding(IdFault::DateBefore1900, 0, l.birth));
  else if (facts.birth && (facts.birth->year != l.birth.year || facts.birth->month != l.birth.month))
    out.push_back(finding(IdFault::BirthDisagrees, 0, l.birth));
}

}  // namespace

FoldedIdNumber foldIdNumber(std::string_view gbk) {
  FoldedIdNumber f;
  bool pendingBlank = false;  // a blank after some character, inner if another follows
  for (std::size_t i = 0; i < gbk.size(); ++i) {
    const auto c = static_cast<unsigned char>(gbk[i]);
    const bool twoByte = c >= 0x81 && i + 1 < gbk.size();
    const auto trail = twoByte ? static_cast<unsigned char>(gbk[i + 1]) : 0;
    if (isBlankByte(c) || (c == kBlankLead && trail == kBlankTrail)) {
      pendingBlank = !f.key.empty();
      if (c == kBlankLead) ++i;
      continue;
    }
    if (pendingBlank) f.innerBlank = true;
    pendingBlank = false;
    if (c == kFullWidthLead && trail > kFullWidthBase + ' ' && trail < 0xFF) {
      f.fullWidth = true;
      f.key.push_back(static_cast<char>(trail - kFullWidthBase));
      ++i;
    } else if (twoByte) {
      // Any other character stays as it is; the number then has no ID form.
      f.key.append(gbk.substr(i, 2));
      ++i;
    } else {
      f.key.push_back(static_cast<char>(c));
    }
    char& last = f.key.back();
    if (last >= 'a' && last <= 'z') last = static_cast<char>(last - 'a' + 'A');
  }
  return f;
}

std::string idNumberKey(std::string_view gbk) {
  std::string key = foldIdNumber(gbk).key;
  if (!hasIdForm(key)) key.clear();
  return key;
}

char idCheckCharacter(std::string_view digits17) {
  // The weight of position i (counted from the check digit's position 1) is 2^(i-1) mod 11.
  int sum = 0;
  int weight = 1;
  for (std::size_t i = digits17.size(); i-- > 0;) {
    weight = weight * 2 % kCheckModulus;
    sum += (digits17[i] - '0') * weight;
  }
  const int check = (12 - sum % kCheckModulus) % kCheckModulus;
  return check == 10 ? 'X' : static_cast<char>('0' + check);
}

bool isProvinceCode(int code) {
  static constexpr std::array<std::pair<int, int>, 8> kRanges = {
      {{11, 15}, {21, 23}, {31, 37}, {41, 46}, {50, 54}, {61, 65}, {71, 71}, {81, 83}}};
  return std::any_of(kRanges.begin(), kRanges.end(),
                     [code](const auto& r) { return code >= r.first && code <= r.second; });
}

std::vector<IdFinding> checkIdNumber(std::string_view gbk, const IdRowFacts& facts) {
  std::vector<IdFinding> out;
  const FoldedIdNumber folded = foldIdNumber(gbk);
  if (folded.fullWidth) out.push_back(finding(IdFault::FullWidth));
  if (folded.innerBlank) out.push_back(finding(IdFault::InnerBlank));
  const std::string& key = folded.key;
  if (!hasIdForm(key)) {
    out.push_back(finding(IdFault::NotAnIdNumber));
    return out;
  }
  if (key.size() == kLongLength) {
    const char expected = idCheckCharacter(std::string_view(key).substr(0, kLongLength - 1));
    if (key.back() != expected) out.push_back(finding(IdFault::CheckDigit, expected));
  }
  if (!isProvinceCode(digitsValue(std::string_view(key).substr(0, 2)))) out.push_back(finding(IdFault::Province));
  const Layout l = layoutOf(key);
  checkDate(l, facts, out);
  const bool male = l.sexDigit % 2 == 1;
  if (facts.male && *facts.male != male) out.push_back(finding(IdFault::SexDisagrees, 0, l.birth, male));
  return out;
}

}  // namespace gz::imp
