// Pieces of the password-to-key derivations that several schemes share.
#pragma once

#include <cstdint>
#include <string>

#include "sheet/crypto/primitives.h"

namespace gz::sheet::crypto {

// The password as the schemes hash it: UTF-16 little-endian, no terminator.
ByteVec utf16le(const std::u16string& password);

ByteVec littleEndian32(uint32_t v);

// H0 = hash(salt + password), then `spinCount` rounds of
// Hn = hash(n as 32-bit little-endian + Hn-1); returns the last.
ByteVec iteratedPasswordHash(HashAlgorithm algorithm, ByteView salt, const std::u16string& password,
                             uint32_t spinCount);

// `bytes` cut to `size`, or padded to it with `pad`.
ByteVec fitted(ByteVec bytes, std::size_t size, uint8_t pad);

}  // namespace gz::sheet::crypto
