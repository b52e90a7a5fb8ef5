#include "import/shared/title_names.h"

#include <array>
#include <fstream>
#include <sstream>
#include <system_error>
#include <utility>

#include "codes/dm_file.h"
#include "codes/dm_text.h"
#include "import/shared/texts.h"
#include "text/bytes.h"
#include "text/gb18030.h"

namespace gz::imp {
namespace {

using namespace texts;

constexpr std::array kTitlesRead = {
    kTitleName,       kTitleBirth,       kTitleJoinWork,     kTitleStatus,     kTitleSerial,   kTitleIdCard,
    kTitleSeniority1, kTitleSeniority2,  kTitleSeniority3,   kTitleSeniority4, kTitleSex,      kTitleEthnic,
    kTitleWorkStart,  kTitleDeductYears, kTitleCollegeYears, kTitleEducation,  kTitlePosition, kTitleAssessment,
};

struct OtherName {
  std::string_view title;
  std::string_view other;
};
constexpr std::array kBuiltInOthers = {
    OtherName{kTitleBirth, kOtherBirthDate},       OtherName{kTitleBirth, kOtherBirthFull},
    OtherName{kTitleJoinWork, kOtherJoinWorkDate}, OtherName{kTitleJoinWork, kOtherJoinWorkMonth},
    OtherName{kTitleJoinWork, kTitleWorkStart},    OtherName{kTitleIdCard, kOtherIdCardNumber},
    OtherName{kTitleIdCard, kOtherCitizenNumber},  OtherName{kTitleIdCard, kOtherIdCard},
    OtherName{kTitleStatus, kOtherStaffStatus},    OtherName{kTitleStatus, kOtherStatus},
    OtherName{kTitleSerial, kOtherSerial},
};

constexpr unsigned char kFullWidthRow = 0xA3;  // GBK row of the full-width ASCII forms
constexpr unsigned char kFullWidthBlank = 0xA1;  // A1 A1
constexpr std::string_view kNoBreakSpace = "\x81\x30\x84\x32";  // U+00A0 in GB 18030

// The full-width forms that fold: digits, letters and the three kinds of bracket.
bool foldsToAscii(unsigned char low) {
  const char ascii = static_cast<char>(low - 0x80);
  return (ascii >= '0' && ascii <= '9') || (ascii >= 'A' && ascii <= 'Z') || (ascii >= 'a' && ascii <= 'z') ||
         ascii == '(' || ascii == ')' || ascii == '[' || ascii == ']' || ascii == '{' || ascii == '}';
}

void foldCharacter(std::string_view ch, std::string& out) {
  if (ch.size() == 1) {
    if (ch[0] != ' ' && ch[0] != '\t' && ch[0] != '\r' && ch[0] != '\n') out += ch;
    return;
  }
  const auto lead = static_cast<unsigned char>(ch[0]);
  const auto low = static_cast<unsigned char>(ch[1]);
  if (ch.size() == 2 && lead == kFullWidthBlank && low == kFullWidthBlank) return;
  if (ch.size() == 2 && lead == kFullWidthRow && foldsToAscii(low)) {
    out += static_cast<char>(low - 0x80);
    return;
  }
  if (ch == kNoBreakSpace) return;
  out += ch;
}

[[noreturn]] void throwUnreadable(const std::filesystem::path& path) {
  const std::u8string u8 = path.u8string();
  throw codes::DmFileError("无法读取标题文件 " + std::string(u8.begin(), u8.end()), path);
}

std::string readTitlesFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throwUnreadable(path);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  if (in.bad()) throwUnreadable(path);
  return std::move(bytes).str();
}

}  // namespace

std::string foldTitle(std::string_view gbk) {
  std::string out;
  out.reserve(gbk.size());
  for (std::size_t pos = 0; pos < gbk.size();) {
    const std::size_t len = text::characterLength(gbk, pos);
    foldCharacter(gbk.substr(pos, len), out);
    pos += len;
  }
  return out;
}

TitleNames::TitleNames() {
  for (std::string_view title : kTitlesRead) forms_.emplace(foldTitle(title), title);
  for (const OtherName& o : kBuiltInOthers) others_.emplace(foldTitle(o.other), Other{std::string(o.title), false});
}

void TitleNames::add(std::string_view title, std::string_view other) {
  others_.emplace(foldTitle(other), Other{std::string(title), true});
}

std::vector<RecognisedTitle> TitleNames::recognise(std::string_view asRead) const {
  std::vector<RecognisedTitle> out;
  for (std::string_view title : kTitlesRead)
    if (asRead == title) out.push_back({title, TitleMatch::Exact});
  const std::string folded = foldTitle(asRead);
  if (folded.empty()) return out;
  if (out.empty()) {
    if (const auto form = forms_.find(folded); form != forms_.end()) out.push_back({form->second, TitleMatch::Form});
  }
  const auto [first, last] = others_.equal_range(folded);
  for (auto it = first; it != last; ++it)
    out.push_back({it->second.title, TitleMatch::OtherName, it->second.operatorsName});
  return out;
}

std::vector<std::size_t> loadTitlesFile(TitleNames& names, const std::filesystem::path& path) {
  std::vector<std::size_t> unreadable;
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return unreadable;
  const codes::DmText content = codes::decodeDmBytes(readTitlesFile(path));
  std::size_t number = 0;
  for (const std::string& line : text::splitLines(content.text)) {
    ++number;
    if (!text::isValidGb18030(line)) {
      unreadable.push_back(number);
      continue;
    }
    const std::size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    const std::string title = text::trim(std::string_view(line).substr(0, eq));
    const std::string other = text::trim(std::string_view(line).substr(eq + 1));
    if (!title.empty() && !other.empty()) names.add(title, other);
  }
  return unreadable;
}

}  // namespace gz::imp
