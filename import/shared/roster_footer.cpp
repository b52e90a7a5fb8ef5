#include "import/shared/roster_footer.h"

#include <array>

#include "import/shared/texts.h"
#include "import/shared/title_names.h"
#include "sheet/model/workbook.h"

namespace gz::imp {
namespace {

constexpr std::array kFooterStarts = {texts::kFooterTotal,      texts::kFooterGrandTotal, texts::kFooterSubtotal,
                                      texts::kFooterMadeBy,     texts::kFooterFilledBy,   texts::kFooterChecked,
                                      texts::kFooterResponsible};

}  // namespace

bool isFooterLine(std::string_view nameCell, bool birthCellEmpty) {
  if (!birthCellEmpty) return false;
  // Clerks space such words out ("合  计"); the blanks do not count.
  const std::string name = foldTitle(nameCell);
  for (std::string_view start : kFooterStarts)
    if (name.starts_with(start)) return true;
  return false;
}

bool isFooterRow(const sheet::Workbook& book, const SheetColumns& columns, int32_t row) {
  const sheet::SheetData& data = book.sheet();
  const auto r = static_cast<uint32_t>(row);
  const std::string* name = data.textAt(r, static_cast<uint32_t>(columns.name));
  if (name == nullptr) return false;
  const auto birth = static_cast<uint32_t>(columns.birth);
  const std::string* birthText = data.textAt(r, birth);
  const bool birthEmpty =
      birthText != nullptr ? birthText->empty() : data.value(r, birth).kind == sheet::CellKind::Empty;
  return isFooterLine(*name, birthEmpty);
}

}  // namespace gz::imp
