#include "import/shared/title_mapping.h"

#include <algorithm>
#include <array>

#include "import/shared/column_map.h"
#include "import/shared/run_texts.h"
#include "import/shared/texts.h"
#include "sheet/model/cell_forms.h"
#include "sheet/model/workbook.h"

namespace gz::imp {
namespace {

using namespace texts;

constexpr std::array<std::string_view, 15> kFields = {
    kTitleName,        kTitleBirth,        kTitleJoinWork,  kTitleStatus,     kTitleSerial,
    kTitleIdCard,      kTitleSex,          kTitleEthnic,    kTitleSeniority3, kTitleWorkStart,
    kTitleDeductYears, kTitleCollegeYears, kTitleEducation, kTitlePosition,   kTitleAssessment,
};

// The four forms of the seniority title, in the order the steps try them.
constexpr std::array kSeniorityForms = {kTitleSeniority1, kTitleSeniority2, kTitleSeniority3, kTitleSeniority4};

const SheetTitle* titleAt(const std::vector<SheetTitle>& titles, int32_t column) {
  const auto it =
      std::find_if(titles.begin(), titles.end(), [column](const SheetTitle& t) { return t.column == column; });
  return it == titles.end() ? nullptr : &*it;
}

// The seniority form a title is byte for byte; empty for none.
std::string_view seniorityForm(std::string_view text) {
  const auto it = std::find(kSeniorityForms.begin(), kSeniorityForms.end(), text);
  return it == kSeniorityForms.end() ? std::string_view{} : *it;
}

// How a field is set in the preset: where the header has a field under
// several titles, the one the steps would read (the first seniority form
// in their order; else the one listed first, by column).
bool takesPrecedence(const FoundTitle& found, const std::vector<FoundTitle>& all) {
  const std::string_view form = seniorityForm(found.title);
  if (form.empty()) return true;
  for (const FoundTitle& other : all) {
    const std::string_view otherForm = seniorityForm(other.title);
    if (!otherForm.empty() && std::find(kSeniorityForms.begin(), kSeniorityForms.end(), otherForm) <
                                  std::find(kSeniorityForms.begin(), kSeniorityForms.end(), form))
      return false;
  }
  return true;
}

std::string refusalFor(TitleRows rows, const TitleChoice& choice, std::string_view field) {
  std::string line = rowsLabel(rows);
  line.append(kLacksChosenTitle).append(choice.sheetTitle).append(kCannotServeAs);
  return line.append(field.empty() ? std::string_view(choice.field) : field);
}

const SheetTitle* findTitle(const std::vector<SheetTitle>& titles, std::string_view wanted) {
  for (const SheetTitle& t : titles)
    if (t.text == wanted) return &t;
  const std::string folded = foldTitle(wanted);
  for (const SheetTitle& t : titles)
    if (!folded.empty() && foldTitle(t.text) == folded) return &t;
  return nullptr;
}

}  // namespace

std::span<const std::string_view> mappedFields() { return kFields; }

bool isRequiredField(std::string_view field) {
  return std::find(kFields.begin(), kFields.begin() + kRequiredFields, field) != kFields.begin() + kRequiredFields;
}

std::string_view fieldNamed(std::string_view gbk) {
  const std::string folded = foldTitle(gbk);
  if (folded.empty()) return {};
  for (std::string_view field : kFields)
    if (foldTitle(field) == folded) return field;
  return {};
}

std::vector<SheetTitle> sheetTitles(const sheet::SheetData& data, TitleRows rows) {
  std::vector<SheetTitle> titles;
  const std::vector<sheet::CellValue> cells = titleCellsAsRead(data, rows);
  for (uint32_t col = 1; col <= cells.size(); ++col) {
    std::string text = sheet::cellText(cells[col - 1]);
    if (text.empty()) continue;
    // A title stands in the lower of two rows unless its cell there is empty.
    const bool lowerEmpty = sheet::cellText(data.value(static_cast<uint32_t>(rows.last), col)).empty();
    titles.push_back({static_cast<int32_t>(col), lowerEmpty ? rows.first : rows.last, std::move(text)});
  }
  return titles;
}

int32_t TitleMapping::column(std::string_view field) const {
  const auto it = columns.find(field);
  return it == columns.end() ? 0 : it->second;
}

std::vector<std::string_view> TitleMapping::missing() const {
  std::vector<std::string_view> out;
  for (std::size_t i = 0; i < kRequiredFields; ++i)
    if (column(kFields[i]) == 0) out.push_back(kFields[i]);
  return out;
}

TitleOffer offerTitles(const sheet::Workbook& book, TitleRows rows, const TitleNames& names) {
  TitleOffer offer;
  offer.sheetName = book.sheetName();
  offer.titles = sheetTitles(book.sheet(), rows);
  offer.preset.rows = rows;
  const std::vector<FoundTitle> found = titlesIn(book.sheet(), rows, names);
  for (const FoundTitle& f : found) {
    const std::string_view field = fieldNamed(f.title);
    if (!field.empty() && takesPrecedence(f, found)) offer.preset.columns[field] = f.column;
  }
  return offer;
}

ChosenTitles applyChoices(const TitleOffer& offer, const std::vector<TitleChoice>& choices) {
  ChosenTitles out{offer.preset, {}};
  for (const TitleChoice& choice : choices) {
    const std::string_view field = fieldNamed(choice.field);
    const SheetTitle* title = findTitle(offer.titles, choice.sheetTitle);
    if (field.empty() || title == nullptr) {
      out.refusal = refusalFor(offer.preset.rows, choice, field);
      return out;
    }
    out.mapping.columns[field] = title->column;
  }
  return out;
}

void fillColumns(const TitleMapping& mapping, const std::vector<SheetTitle>& titles, ColumnMap& columns) {
  columns.clear();
  for (const SheetTitle& t : titles) columns.set(t.text, t.column);
  for (std::string_view field : kFields) {
    const int32_t column = mapping.column(field);
    if (field != kTitleSeniority3) {
      columns.set(std::string(field), column);
      continue;
    }
    // The steps take the first of the four forms that has a column: only the chosen one may.
    for (std::string_view form : kSeniorityForms) columns.set(std::string(form), 0);
    if (column == 0) continue;
    const SheetTitle* title = titleAt(titles, column);
    const std::string_view form = title != nullptr ? seniorityForm(title->text) : std::string_view{};
    columns.set(std::string(form.empty() ? field : form), column);
  }
}

std::vector<FoundTitle> mappedTitles(const TitleMapping& mapping, const std::vector<SheetTitle>& titles) {
  std::vector<FoundTitle> out;
  for (std::string_view field : kFields) {
    const SheetTitle* title = titleAt(titles, mapping.column(field));
    if (title == nullptr) continue;
    FoundTitle found{field, title->row, title->column, title->text, TitleMatch::OtherName};
    if (field == kTitleSeniority3 && !seniorityForm(title->text).empty()) found.title = seniorityForm(title->text);
    if (title->text == found.title) found.match = TitleMatch::Exact;
    else if (foldTitle(title->text) == foldTitle(field)) found.match = TitleMatch::Form;
    out.push_back(std::move(found));
  }
  std::stable_sort(out.begin(), out.end(),
                   [](const FoundTitle& a, const FoundTitle& b) { return a.column < b.column; });
  return out;
}

std::vector<TitleAlias> newAliases(const TitleMapping& mapping, const std::vector<SheetTitle>& titles,
                                   const TitleNames& names) {
  std::vector<TitleAlias> out;
  for (std::string_view field : kFields) {
    const SheetTitle* title = titleAt(titles, mapping.column(field));
    if (title == nullptr) continue;
    const std::vector<RecognisedTitle> known = names.recognise(title->text);
    const bool named = std::any_of(known.begin(), known.end(),
                                   [field](const RecognisedTitle& r) { return fieldNamed(r.title) == field; });
    std::string other = foldTitle(title->text);
    if (!named && !other.empty()) out.push_back({std::string(field), std::move(other)});
  }
  return out;
}

}  // namespace gz::imp
