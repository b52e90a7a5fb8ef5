// The workbook stream inside an .xls file (an OLE2 compound file).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace gz::sheet {

struct WorkbookStream {
  std::vector<uint8_t> bytes;
  // True when the stream is the older "Book" (BIFF5) rather than "Workbook".
  bool bookStream = false;
};

// True when `data` starts with the compound file signature.
bool hasCompoundFileSignature(const uint8_t* data, std::size_t size);

// Reads the root stream named "Workbook", else "Book" (case-insensitive), in
// one piece. Throws BiffError for a file that is not a compound file, one
// without a workbook stream, an encrypted package, or a damaged container.
WorkbookStream extractWorkbookStream(const uint8_t* data, std::size_t size);

}  // namespace gz::sheet
