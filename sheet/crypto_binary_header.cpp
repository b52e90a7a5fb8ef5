#include "sheet/crypto_binary_header.h"

#include "sheet/biff_error.h"
#include "sheet/biff_records.h"

namespace gz::sheet::crypto {

BinaryEncryptionInfo parseBinaryEncryptionInfo(ByteView bytes) {
  using biff::le32;
  // Header: flags, size extra, algorithm, hash algorithm, key bits, provider
  // type, two reserved fields, then the provider's name.
  constexpr std::size_t kFixedHeader = 32;
  if (bytes.size() < 4) throw BiffError(kDamagedEncryption);
  const uint32_t headerSize = le32(bytes.data());
  if (headerSize < kFixedHeader || headerSize > bytes.size() - 4) throw BiffError(kDamagedEncryption);
  const uint8_t* h = bytes.data() + 4;
  BinaryEncryptionInfo info;
  info.flags = le32(h);
  info.algorithm = le32(h + 8);
  info.hashAlgorithm = le32(h + 12);
  info.keyBits = le32(h + 16);

  // Verifier: salt size, salt, encrypted verifier, hash size, encrypted hash.
  ByteView v = bytes.subspan(4 + headerSize);
  if (v.size() < 4 + 16 + 16 + 4) throw BiffError(kDamagedEncryption);
  if (le32(v.data()) != 16) throw BiffError(kDamagedEncryption);
  info.salt.assign(v.begin() + 4, v.begin() + 20);
  info.encryptedVerifier.assign(v.begin() + 20, v.begin() + 36);
  info.verifierHashSize = le32(v.data() + 36);
  info.encryptedVerifierHash.assign(v.begin() + 40, v.end());
  if (info.verifierHashSize > info.encryptedVerifierHash.size()) throw BiffError(kDamagedEncryption);
  return info;
}

}  // namespace gz::sheet::crypto
