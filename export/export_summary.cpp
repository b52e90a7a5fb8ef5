#include "export/export_summary.h"

#include "import/shared/texts.h"
#include "text/gb18030.h"

namespace gz::exp {
namespace {
namespace t = imp::texts;
constexpr std::string_view kTitleDepartment = "\xB2\xBF\xC3\xC5";  // 部门
}  // namespace

std::string_view columnTitle(Column c) {
  switch (c) {
    case Column::Serial: return t::kTitleSerial;
    case Column::Name: return t::kTitleName;
    case Column::Sex: return t::kTitleSex;
    case Column::Ethnic: return t::kTitleEthnic;
    case Column::IdCard: return t::kTitleIdCard;
    case Column::Birth: return t::kTitleBirth;
    case Column::WorkStart: return t::kTitleJoinWork;
    case Column::Status: return t::kTitleStatus;
    case Column::Seniority: return t::kTitleSeniority3;
    case Column::DeductYears: return t::kTitleDeductYears;
    case Column::CollegeYears: return t::kTitleCollegeYears;
    case Column::Education: return t::kTitleEducation;
    case Column::Position: return t::kTitlePosition;
    case Column::Assessment: return t::kTitleAssessment;
    case Column::Department: break;
  }
  return kTitleDepartment;
}

std::vector<std::string> summaryLines(const ExportSummary& s, const std::string& pathUtf8) {
  std::vector<std::string> lines;
  lines.push_back("已导出" + std::to_string(s.people) + "人, 履历记录" + std::to_string(s.historyRows) + "条, 写入 " +
                  pathUtf8);
  if (s.codeFileMissing) lines.push_back("代码文件dm.txt不存在, 代码按原样写出");
  if (s.peopleLeftOut > 0)
    lines.push_back(std::to_string(s.peopleLeftOut) + "人姓名为空或是合计、签名行的样子, 导入时不会读作人员, 未导出");
  for (std::size_t i = 0; i < kColumnCount; ++i) {
    const ColumnTally& c = s.columns[i];
    const std::string title = text::gb18030ToUtf8(columnTitle(static_cast<Column>(i)));
    if (c.codesWithoutText > 0)
      lines.push_back(title + ": " + std::to_string(c.codesWithoutText) + "个代码在代码文件中没有文字, 按代码写出");
    if (c.notComingBack > 0) lines.push_back(title + ": " + std::to_string(c.notComingBack) + "个值导入时不能原样还原");
  }
  return lines;
}

}  // namespace gz::exp
