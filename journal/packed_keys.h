// Inserted rows kept as their key and digest in the journal's packed form
// (an entry's `form` `packed`, its `after` a blob): for each row, the
// difference of its whole-number key from the key of the row before (the
// first row's from 0), zigzag-coded (0, -1, 1, -2 ... as 0, 1, 2, 3 ...) and
// written seven bits a byte, the lowest first, the high bit set on every
// byte but the last; then the digest's eight bytes, the lowest first. An
// append's keys mostly rise by one, so a row takes nine bytes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "journal/row_text.h"

namespace gz::journal {

// Writes one group's rows, gathering them on the stack and moving them into
// the group's bytes a few hundred at a time.
class PackedKeys {
 public:
  void add(std::string& bytes, int64_t key, uint64_t digest);
  // The group's bytes with those gathered.
  std::size_t size(const std::string& bytes) const;
  void moveInto(std::string& bytes);
  // The next group's rows start from 0 again.
  void restart() { previous_ = 0; }

 private:
  static constexpr std::size_t kMostRowBytes = 10 + 8;
  static constexpr std::size_t kBufferBytes = 8192;
  std::array<char, kBufferBytes> rows_;
  char* end_ = rows_.data();
  int64_t previous_ = 0;
};

// The rows of one group; throws JournalError(Damaged) for bytes that do not
// hold whole rows.
std::vector<KeyDigest> keyDigestsFromPacked(std::string_view bytes);

}  // namespace gz::journal
