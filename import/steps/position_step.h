// The position cell of a row into position history rows.
#pragma once

#include <cstdint>
#include <string_view>

#include "import/shared/step_context.h"

namespace gz::imp {

// Each line is trimmed, then read as "YYYY.MM<name>"; the name (at most 40
// bytes, trimmed again) is translated through the code map and stored as both
// the appointment and the salary position. A name without a code is reported
// as "职务:<person>:<name>" and not stored.
HistoryCounts ImportPositionHistory(const StepContext& ctx, int32_t row, int64_t personId, std::string_view personName);

}  // namespace gz::imp
