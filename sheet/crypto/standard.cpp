#include "sheet/crypto/standard.h"

#include "sheet/crypto/headers.h"
#include "sheet/crypto/keys.h"
#include "sheet/model/read_error.h"

namespace gz::sheet::crypto {
namespace {

constexpr uint32_t kSpinCount = 50000;

std::size_t aesKeyBytes(const BinaryEncryptionInfo& info) {
  const uint32_t bits = info.keyBits;
  switch (info.algorithm) {
    case 0:  // taken from the flags: AES-128 when fAES is set
    case kAlgAes128: return bits == 0 || bits == 128 ? 16 : 0;
    case kAlgAes192: return bits == 192 ? 24 : 0;
    case kAlgAes256: return bits == 256 ? 32 : 0;
  }
  return 0;
}

}  // namespace

ByteVec standardKey(const std::u16string& password, ByteView salt, std::size_t keyBytes) {
  ByteVec hfinal = hash(HashAlgorithm::Sha1,
                        {iteratedPasswordHash(HashAlgorithm::Sha1, salt, password, kSpinCount), littleEndian32(0)});
  // Each half comes from the digest XORed into 64 bytes of a pad value.
  auto half = [&](uint8_t pad) {
    ByteVec buffer(64, pad);
    for (std::size_t i = 0; i < hfinal.size(); ++i) buffer[i] ^= hfinal[i];
    return hash(HashAlgorithm::Sha1, {buffer});
  };
  ByteVec key = half(0x36);
  const ByteVec second = half(0x5C);
  key.insert(key.end(), second.begin(), second.end());
  key.resize(keyBytes);
  return key;
}

StandardEncryption::StandardEncryption(ByteView info) : info_(parseBinaryEncryptionInfo(info)) {
  if ((info_.flags & kFlagExternal) || !(info_.flags & kFlagAes))
    throw ReadError(kUnsupportedEncryption, WorkbookFault::Unsupported);
  if (info_.hashAlgorithm != 0 && info_.hashAlgorithm != kAlgSha1)
    throw ReadError(kUnsupportedEncryption, WorkbookFault::Unsupported);
  keyBytes_ = aesKeyBytes(info_);
  if (keyBytes_ == 0) throw ReadError(kUnsupportedEncryption, WorkbookFault::Unsupported);
  // The verifier hash is a SHA-1 digest padded to two AES blocks.
  if (info_.verifierHashSize != 20 || info_.encryptedVerifierHash.size() < 32) throw ReadError(kDamagedEncryption);
}

std::optional<ByteVec> StandardEncryption::keyFor(const std::u16string& password) const {
  ByteVec key = standardKey(password, info_.salt, keyBytes_);
  ByteVec verifier = info_.encryptedVerifier;
  ByteVec verifierHash(info_.encryptedVerifierHash.begin(), info_.encryptedVerifierHash.begin() + 32);
  aesEcbDecrypt(key, verifier.data(), verifier.size());
  aesEcbDecrypt(key, verifierHash.data(), verifierHash.size());
  verifierHash.resize(20);
  if (!sameBytes(hash(HashAlgorithm::Sha1, {verifier}), verifierHash)) return std::nullopt;
  return key;
}

ByteVec StandardEncryption::decryptPackage(ByteView encryptedPackage, ByteView key) const {
  const PackageSize size = packageSize(encryptedPackage);
  // Whole AES blocks covering the package.
  const std::size_t needed = (size.plain + 15) / 16 * 16;
  if (size.encrypted < needed) throw ReadError(kTruncatedPackage);
  ByteVec out(encryptedPackage.begin() + 8, encryptedPackage.begin() + 8 + needed);
  aesEcbDecrypt(key, out.data(), out.size());
  out.resize(size.plain);
  return out;
}

}  // namespace gz::sheet::crypto
