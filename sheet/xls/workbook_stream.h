// The workbook stream of an .xls file, taken whole out of its compound file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "sheet/shared/compound_file.h"

namespace gz::sheet {

struct WorkbookStream {
  std::vector<uint8_t> bytes;
  // True when the stream is the older "Book" (BIFF5) rather than "Workbook".
  bool bookStream = false;
};

// Reads the root stream named "Workbook", else "Book", in one piece. Throws
// ReadError for a compound file without a workbook stream (Encrypted when
// it holds an encrypted package instead), or a damaged one.
WorkbookStream extractWorkbookStream(const CompoundFile& file);
WorkbookStream extractWorkbookStream(const uint8_t* data, std::size_t size);

}  // namespace gz::sheet
