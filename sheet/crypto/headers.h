// The binary structures several schemes share: the encryption header and
// verifier of CryptoAPI RC4 (.xls) and of the Standard encryption of .xlsx
// packages, and the size that leads an EncryptedPackage stream.
#pragma once

#include <cstddef>
#include <cstdint>

#include "sheet/crypto/primitives.h"

namespace gz::sheet::crypto {

// Algorithm ids of the header.
inline constexpr uint32_t kAlgRc4 = 0x6801;
inline constexpr uint32_t kAlgAes128 = 0x660E;
inline constexpr uint32_t kAlgAes192 = 0x660F;
inline constexpr uint32_t kAlgAes256 = 0x6610;
inline constexpr uint32_t kAlgSha1 = 0x8004;
// Header flags.
inline constexpr uint32_t kFlagCryptoApi = 0x04;
inline constexpr uint32_t kFlagExternal = 0x10;
inline constexpr uint32_t kFlagAes = 0x20;

struct BinaryEncryptionInfo {
  uint32_t flags = 0;
  uint32_t algorithm = 0;
  uint32_t hashAlgorithm = 0;
  uint32_t keyBits = 0;
  ByteVec salt;                   // 16 bytes
  ByteVec encryptedVerifier;      // 16 bytes
  uint32_t verifierHashSize = 0;  // 20 for SHA-1
  ByteVec encryptedVerifierHash;  // the rest of the data
};

// Parses the header size, the header and the verifier from `bytes`, which
// start at the header size field (after the version and the flags).
// Throws ReadError (damaged) when they are cut short or inconsistent.
BinaryEncryptionInfo parseBinaryEncryptionInfo(ByteView bytes);

// The EncryptedPackage stream of an encrypted .xlsx: the package's size as
// 8 bytes little-endian, then the encrypted package, padded.
struct PackageSize {
  std::size_t plain = 0;      // of the package once decrypted
  std::size_t encrypted = 0;  // bytes of encrypted data in the stream
};

// Throws ReadError (damaged) when the stream is too short for its size
// field, or names a package larger than the data it holds.
PackageSize packageSize(ByteView encryptedPackage);

}  // namespace gz::sheet::crypto
