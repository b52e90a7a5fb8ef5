#include "sheet/crypto/keys.h"

#include <utility>

namespace gz::sheet::crypto {

ByteVec utf16le(const std::u16string& password) {
  ByteVec out;
  out.reserve(password.size() * 2);
  for (char16_t c : password) {
    out.push_back(static_cast<uint8_t>(c & 0xFF));
    out.push_back(static_cast<uint8_t>(c >> 8));
  }
  return out;
}

ByteVec littleEndian32(uint32_t v) {
  return {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
          static_cast<uint8_t>(v >> 24)};
}

ByteVec iteratedPasswordHash(HashAlgorithm algorithm, ByteView salt, const std::u16string& password,
                             uint32_t spinCount) {
  Hasher hasher(algorithm);
  const std::size_t n = hasher.size();
  // One buffer holds the round number followed by the previous digest.
  ByteVec buffer(4 + n);
  hasher.add(salt).add(utf16le(password)).digestInto(buffer.data() + 4);
  for (uint32_t i = 0; i < spinCount; ++i) {
    buffer[0] = static_cast<uint8_t>(i);
    buffer[1] = static_cast<uint8_t>(i >> 8);
    buffer[2] = static_cast<uint8_t>(i >> 16);
    buffer[3] = static_cast<uint8_t>(i >> 24);
    hasher.add(buffer).digestInto(buffer.data() + 4);
  }
  return ByteVec(buffer.begin() + 4, buffer.end());
}

ByteVec fitted(ByteVec bytes, std::size_t size, uint8_t pad) {
  bytes.resize(size, pad);
  return bytes;
}

}  // namespace gz::sheet::crypto
