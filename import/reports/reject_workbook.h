// The workbook of the rows an import did not store: the source's title row,
// then each such row's cells as read, and one more column 未导入原因 with the
// reason. Once the rows are put right it imports as it is: the extra title
// is read by no step.
#pragma once

#include <string>

#include "import/shared/outcome.h"

namespace gz::imp {

// Writes `rejects` to a new .xlsx at `pathUtf8`. Throws sheet::WorkbookWriteError.
void writeRejectWorkbook(const std::string& pathUtf8, const RejectedRows& rejects);

}  // namespace gz::imp
