// The EncryptedPackage stream of an encrypted .xlsx: the package's size as
// 8 bytes little-endian, then the encrypted package, padded.
#pragma once

#include <cstddef>

#include "sheet/crypto/primitives.h"

namespace gz::sheet::crypto {

struct PackageSize {
  std::size_t plain = 0;      // of the package once decrypted
  std::size_t encrypted = 0;  // bytes of encrypted data in the stream
};

// Throws ReadError (damaged) when the stream is too short for its size
// field, or names a package larger than the data it holds.
PackageSize packageSize(ByteView encryptedPackage);

}  // namespace gz::sheet::crypto
