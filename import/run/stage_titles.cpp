#include <algorithm>

#include "import/run/stage_sheet.h"
#include "import/shared/column_map.h"

namespace gz::imp {
namespace {

// A required title found only under a name the tool guesses for it (出生日期
// for 出生年月, 工作时间 for 参加工作时间): the operator's own names are taken.
bool requiredTitleGuessed(const TitleSearch& search) {
  return std::any_of(search.titles.begin(), search.titles.end(), [](const FoundTitle& t) {
    return isRequiredField(t.title) && t.match == TitleMatch::OtherName && !t.operatorsName;
  });
}

bool asksForMapping(const SheetRead& read, const Frontend& frontend) {
  return frontend.mapsTitles() && (!read.layout || (read.search.found && requiredTitleGuessed(read.search)));
}

}  // namespace

TitleNames namesForSearch(const ImportRequest& request) {
  TitleNames names = request.titleNames;
  for (const TitleChoice& choice : request.titleChoices)
    if (const std::string_view field = fieldNamed(choice.field); !field.empty()) names.add(field, choice.sheetTitle);
  return names;
}

std::optional<ImportOutcome> settleTitles(SheetRead& read, const ImportRequest& request, ColumnMap& columns,
                                          Frontend& frontend) {
  const bool chosenAhead = !request.titleChoices.empty();
  if (read.unreadableTitle != 0 || read.titlesSettled || (!chosenAhead && !asksForMapping(read, frontend)))
    return std::nullopt;
  read.titlesSettled = true;
  const sheet::Workbook& book = *read.opened.book;
  const TitleRows rows = read.layout ? read.layout->titleRows : read.search.rows;
  const TitleOffer offer = offerTitles(book, rows, namesForSearch(request));
  std::optional<TitleMapping> mapping;
  if (chosenAhead) {
    ChosenTitles chosen = applyChoices(offer, request.titleChoices);
    if (!chosen.refusal.empty()) return endedBeforeWriting(RunEnd::LayoutRejected, std::move(chosen.refusal));
    mapping = std::move(chosen.mapping);
  } else {
    // Rows with fewer titles than the required fields (a note, a banner) are no header to map.
    if (offer.titles.size() < kRequiredFields) return std::nullopt;
    mapping = frontend.mapTitles(offer);
    // Cancelled: a header found is refused as when its question is declined;
    // one not found is refused for the titles it lacks.
    if (!mapping) return read.layout ? std::optional(titlesNotTaken(read.search.rows)) : std::nullopt;
  }
  read.layout = layoutByMapping(book, *mapping, offer.titles, columns, read.search);
  read.titlesChosen = read.layout.has_value();
  return std::nullopt;
}

}  // namespace gz::imp
