// The Standard encryption of .xlsx packages (Office 2007): AES in ECB mode
// with a key derived from the password through 50,000 rounds of SHA-1.
#pragma once

#include <optional>
#include <string>

#include "sheet/crypto/headers.h"

namespace gz::sheet::crypto {

class StandardEncryption {
 public:
  // `info` is the EncryptionInfo stream after its 8-byte version and flags.
  // Throws ReadError: damaged for a broken header, unsupported for an
  // algorithm other than AES with SHA-1.
  explicit StandardEncryption(ByteView info);

  // The AES key when `password` is the right one.
  std::optional<ByteVec> keyFor(const std::u16string& password) const;

  // The package: the EncryptedPackage stream (its 8-byte size, then the
  // data) decrypted with `key`. Throws ReadError when it is cut short.
  ByteVec decryptPackage(ByteView encryptedPackage, ByteView key) const;

 private:
  BinaryEncryptionInfo info_;
  std::size_t keyBytes_ = 16;
};

// The key derivation on its own: SHA-1 iterated over salt and password,
// then stretched to `keyBytes` through the two-pad construction.
ByteVec standardKey(const std::u16string& password, ByteView salt, std::size_t keyBytes);

}  // namespace gz::sheet::crypto
