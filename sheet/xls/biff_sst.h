// The shared string table of a BIFF8 workbook, decoded on demand.
//
// A workbook lists the texts of all its sheets here, but only the active
// sheet's are needed; keeping the position of each string instead of its
// text costs 8 bytes a string and decodes each needed one once.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "sheet/xls/biff_text.h"

namespace gz::sheet::biff {

class SharedStrings {
 public:
  SharedStrings() = default;
  // `parts`: the SST record's payload and its CONTINUE payloads, which must
  // outlive this object. Walks every string once; throws ReadError when one
  // runs past the end.
  explicit SharedStrings(std::vector<Bytes> parts);

  std::size_t size() const { return starts_.size(); }
  // The string at `index` (< size()).
  DecodedText text(std::size_t index) const;

 private:
  std::vector<Bytes> parts_;
  std::vector<PartsReader::Position> starts_;
};

}  // namespace gz::sheet::biff
