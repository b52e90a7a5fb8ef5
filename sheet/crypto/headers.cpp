#include "sheet/crypto/headers.h"

#include "sheet/model/read_error.h"
#include "sheet/shared/byte_order.h"

namespace gz::sheet::crypto {

BinaryEncryptionInfo parseBinaryEncryptionInfo(ByteView bytes) {
  // Header: flags, size extra, algorithm, hash algorithm, key bits, provider
  // type, two reserved fields, then the provider's name.
  constexpr std::size_t kFixedHeader = 32;
  if (bytes.size() < 4) throw ReadError(kDamagedEncryption);
  const uint32_t headerSize = le32(bytes.data());
  if (headerSize < kFixedHeader || headerSize > bytes.size() - 4) throw ReadError(kDamagedEncryption);
  const uint8_t* h = bytes.data() + 4;
  BinaryEncryptionInfo info;
  info.flags = le32(h);
  info.algorithm = le32(h + 8);
  info.hashAlgorithm = le32(h + 12);
  info.keyBits = le32(h + 16);

  // Verifier: salt size, salt, encrypted verifier, hash size, encrypted hash.
  ByteView v = bytes.subspan(4 + headerSize);
  if (v.size() < 4 + 16 + 16 + 4) throw ReadError(kDamagedEncryption);
  if (le32(v.data()) != 16) throw ReadError(kDamagedEncryption);
  info.salt.assign(v.begin() + 4, v.begin() + 20);
  info.encryptedVerifier.assign(v.begin() + 20, v.begin() + 36);
  info.verifierHashSize = le32(v.data() + 36);
  info.encryptedVerifierHash.assign(v.begin() + 40, v.end());
  if (info.verifierHashSize > info.encryptedVerifierHash.size()) throw ReadError(kDamagedEncryption);
  return info;
}

PackageSize packageSize(ByteView encryptedPackage) {
  if (encryptedPackage.size() < 8) throw ReadError(kTruncatedPackage);
  const uint64_t plain = le64(encryptedPackage.data());
  PackageSize size;
  size.encrypted = encryptedPackage.size() - 8;
  // The data is at least as long as the package: a larger size is a cut stream
  // (and would otherwise reserve memory the file cannot fill).
  if (plain > size.encrypted) throw ReadError(kTruncatedPackage);
  size.plain = static_cast<std::size_t>(plain);
  return size;
}

}  // namespace gz::sheet::crypto
