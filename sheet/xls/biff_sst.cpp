#include "sheet/xls/biff_sst.h"

#include <algorithm>
#include <utility>

namespace gz::sheet::biff {

SharedStrings::SharedStrings(std::vector<Bytes> parts) : parts_(std::move(parts)) {
  std::size_t total = 0;
  for (const Bytes& p : parts_) total += p.size();
  PartsReader r(PartsReader::Borrow{}, parts_);
  r.skip(4);  // total number of references
  const uint32_t unique = r.u32();
  // Every string takes at least three bytes, so the stream bounds the count.
  starts_.reserve(std::min<std::size_t>(unique, total / 3));
  for (uint32_t i = 0; i < unique && !r.atEnd(); ++i) {
    starts_.push_back(r.position());
    skipUnicodeString(r, StringLength::TwoBytes);
  }
}

DecodedText SharedStrings::text(std::size_t index) const {
  PartsReader r(PartsReader::Borrow{}, parts_);
  r.seek(starts_[index]);
  return TextDecoder().fromUnicode(readUnicodeString(r, StringLength::TwoBytes));
}

}  // namespace gz::sheet::biff
