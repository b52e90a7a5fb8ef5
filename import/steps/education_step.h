// The education cell of a row into education history rows.
#pragma once

#include <cstdint>
#include <string_view>

#include "import/shared/step_context.h"

namespace gz::imp {

// Each usable line "YYYY.MM<name>" of the education cell becomes one row for
// the person: full-time study when its date is not after the work start
// (compared as texts), in-service study otherwise. A name without a code is
// reported in the error pane as "学历:<person>:<name>" and not stored. Lines
// are read untrimmed. The whole years go onto the person's rows dated with
// the last full-time line, in their inserts. Statements the database refuses
// are dropped one by one.
HistoryCounts ImportEducationHistory(const StepContext& ctx, int32_t row, int64_t personId, std::string_view personName,
                                     std::string_view workStart, int32_t wholeYears);

}  // namespace gz::imp
