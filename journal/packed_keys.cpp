#include "journal/packed_keys.h"

#include <bit>
#include <cstring>

#include "journal/journal_error.h"

namespace gz::journal {

namespace {

constexpr unsigned kDigestBytes = 8;
constexpr unsigned kBitsPerByte = 7;
constexpr uint8_t kMore = 0x80;
constexpr uint8_t kLow7 = 0x7f;

// Differences are taken as the machine's words wrap, so that any two keys
// have one, and the reader gets the key back the same way.
uint64_t zigzag(int64_t difference) {
  return (static_cast<uint64_t>(difference) << 1) ^ static_cast<uint64_t>(difference >> 63);
}
int64_t unzigzag(uint64_t z) { return static_cast<int64_t>(z >> 1) ^ -static_cast<int64_t>(z & 1); }

[[noreturn]] void damaged() { throw JournalError(JournalFault::Damaged, "日志中一组行的键不完整"); }

}  // namespace

void PackedKeys::add(std::string& bytes, int64_t key, uint64_t digest) {
  if (end_ + kMostRowBytes > rows_.data() + rows_.size()) moveInto(bytes);
  uint64_t z = zigzag(static_cast<int64_t>(static_cast<uint64_t>(key) - static_cast<uint64_t>(previous_)));
  previous_ = key;
  for (; z > kLow7; z >>= kBitsPerByte) *end_++ = static_cast<char>((z & kLow7) | kMore);
  *end_++ = static_cast<char>(z);
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(end_, &digest, kDigestBytes);
    end_ += kDigestBytes;
  } else {
    for (unsigned i = 0; i < kDigestBytes; ++i) *end_++ = static_cast<char>(digest >> (8 * i));
  }
}

std::size_t PackedKeys::size(const std::string& bytes) const {
  return bytes.size() + static_cast<std::size_t>(end_ - rows_.data());
}

void PackedKeys::moveInto(std::string& bytes) {
  bytes.append(rows_.data(), end_);
  end_ = rows_.data();
}

std::vector<KeyDigest> keyDigestsFromPacked(std::string_view bytes) {
  std::vector<KeyDigest> rows;
  int64_t previous = 0;
  for (std::size_t at = 0; at < bytes.size();) {
    uint64_t z = 0;
    for (unsigned shift = 0;; shift += kBitsPerByte) {
      if (at >= bytes.size() || shift >= 64) damaged();
      const auto byte = static_cast<uint8_t>(bytes[at++]);
      z |= static_cast<uint64_t>(byte & kLow7) << shift;
      if (!(byte & kMore)) break;
    }
    if (bytes.size() - at < kDigestBytes) damaged();
    uint64_t digest = 0;
    for (unsigned i = 0; i < kDigestBytes; ++i)
      digest |= static_cast<uint64_t>(static_cast<uint8_t>(bytes[at + i])) << (8 * i);
    at += kDigestBytes;
    previous = static_cast<int64_t>(static_cast<uint64_t>(previous) + static_cast<uint64_t>(unzigzag(z)));
    rows.push_back({previous, digest});
  }
  return rows;
}

}  // namespace gz::journal
