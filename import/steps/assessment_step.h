// The assessment cell of a row into yearly assessment rows.
#pragma once

#include <cstdint>
#include <string_view>

#include "import/shared/step_context.h"

namespace gz::imp {

// Each line is trimmed and read as a four-byte year followed by the result
// name (at most 40 bytes, trimmed again). Lines whose year is not a number
// from 1900 to 2100 are skipped silently. A result without a code is reported
// as "考核:<person>:<name>" and not stored.
HistoryCounts ImportAssessmentHistory(const StepContext& ctx, int32_t row, int64_t personId,
                                      std::string_view personName);

}  // namespace gz::imp
