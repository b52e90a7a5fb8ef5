// The lines below a roster's people: totals (合计: 25人) and signatures
// (制表人: …, 审核人: …). Such a line is no person, and storing it as one
// would add a person named 合计 born on the first day of the calendar, so
// the data rows end above it.
#pragma once

#include <cstdint>
#include <string_view>

#include "import/shared/step_context.h"

namespace gz::imp {

// True when `nameCell`, without its blanks, begins with 合计, 总计, 小计, 制表,
// 填表, 审核 or 负责人 and the row's birth date cell is empty: a person's row
// always has a birth date, a totals or signature line never.
bool isFooterLine(std::string_view nameCell, bool birthCellEmpty);

// The same for a row of the sheet.
bool isFooterRow(const sheet::Workbook& book, const SheetColumns& columns, int32_t row);

}  // namespace gz::imp
