// Mapping titles: which column of the sheet feeds each field the import
// reads, as the operator chooses it where a roster names its columns in a
// way the import does not know (生日 for 出生年月). A front end offers the
// header's titles with what the search found preset; the choice goes into
// the run's column map, and the names chosen can be kept in titles.txt so
// that the next roster of that form is recognised by itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "codes/code_map.h"
#include "import/shared/title_names.h"
#include "import/shared/title_search.h"

namespace gz::sheet {
class Workbook;
}

namespace gz::imp {

class ColumnMap;

// The fields the import reads, by the title the steps look up: the four
// required ones first, then the others in the order of the sheet's usual
// layout. The seniority adjustment is one field, 工龄调整(月), for its four
// bracket forms.
std::span<const std::string_view> mappedFields();
inline constexpr std::size_t kRequiredFields = 4;  // the first of mappedFields()
bool isRequiredField(std::string_view field);
// The field `gbk` names: a field's title, or a form of it written with
// blanks or full-width brackets (any of the four seniority forms); empty
// when it names none.
std::string_view fieldNamed(std::string_view gbk);

// A title of the header, as read from its row(s).
struct SheetTitle {
  int32_t column = 0;
  int32_t row = 0;
  std::string text;  // GB 18030
};
// The non-empty titles of `rows`, read as the header search reads them.
std::vector<SheetTitle> sheetTitles(const sheet::SheetData& data, TitleRows rows);

// The column chosen for each field: 0, or absent, for none.
struct TitleMapping {
  TitleRows rows;  // where the header's titles stand
  std::map<std::string_view, int32_t, codes::ByteOrder> columns;

  int32_t column(std::string_view field) const;
  // The required fields without a column, in order.
  std::vector<std::string_view> missing() const;
};

// What the operator chooses from: the header (the rows found, or the rows
// that came closest), its titles, and the columns the search took, preset.
struct TitleOffer {
  std::string sheetName;  // GB 18030
  std::vector<SheetTitle> titles;
  TitleMapping preset;
};
TitleOffer offerTitles(const sheet::Workbook& book, TitleRows rows, const TitleNames& names);

// The operator's choice given ahead (gzimport import --title 出生年月=生日).
struct TitleChoice {
  std::string field;       // GB 18030, as fieldNamed() takes it
  std::string sheetTitle;  // GB 18030
};
// The preset with the choices applied: each sheet title is looked for among
// the offer's titles byte for byte, then folded. The first choice whose
// title the header lacks makes the result that choice's refusal line
// (第1行没有标题"生日",不能用作出生年月) instead.
struct ChosenTitles {
  TitleMapping mapping;
  std::string refusal;  // GB 18030; empty when every title was found
};
ChosenTitles applyChoices(const TitleOffer& offer, const std::vector<TitleChoice>& choices);

// Fills `columns` by the mapping: every title of the header at its column,
// then each field at the column chosen (0 for none), so a title of the sheet
// that is also a field's name feeds that field only where chosen.
void fillColumns(const TitleMapping& mapping, const std::vector<SheetTitle>& titles, ColumnMap& columns);

// The header as the mapping reads it, for the lines that say so
// (第1行第5列"生日"作为出生年月): each field with a column, by column.
std::vector<FoundTitle> mappedTitles(const TitleMapping& mapping, const std::vector<SheetTitle>& titles);

// An other name to keep: `other` (the sheet's title, folded) stands for `field`.
struct TitleAlias {
  std::string field;
  std::string other;
  bool operator==(const TitleAlias&) const = default;
};
// The aliases the mapping adds to what `names` already recognise: for each
// field with a column whose title is not that field's title, a form of it or
// a name known for it.
std::vector<TitleAlias> newAliases(const TitleMapping& mapping, const std::vector<SheetTitle>& titles,
                                   const TitleNames& names);

}  // namespace gz::imp
