#include "sheet/crypto/rc4.h"

#include <algorithm>
#include <utility>

#include "sheet/crypto/keys.h"

namespace gz::sheet::crypto {

Rc4BlockDecryptor::Rc4BlockDecryptor(BlockKeyFunction keyOf, std::size_t blockSize)
    : keyOf_(std::move(keyOf)), blockSize_(blockSize) {}

void Rc4BlockDecryptor::decrypt(uint8_t* data, std::size_t size, std::size_t streamOffset) {
  while (size > 0) {
    const uint32_t block = static_cast<uint32_t>(streamOffset / blockSize_);
    const std::size_t within = streamOffset % blockSize_;
    if (keyStream_.empty() || block != block_) {
      keyStream_.assign(blockSize_, 0);
      Rc4(keyOf_(block)).apply(keyStream_.data(), keyStream_.size());
      block_ = block;
    }
    const std::size_t n = std::min(size, blockSize_ - within);
    for (std::size_t i = 0; i < n; ++i) data[i] ^= keyStream_[within + i];
    data += n;
    size -= n;
    streamOffset += n;
  }
}

bool rc4VerifierMatches(ByteView block0Key, HashAlgorithm hash, ByteView encryptedVerifier,
                        ByteView encryptedVerifierHash) {
  ByteVec verifier(encryptedVerifier.begin(), encryptedVerifier.end());
  ByteVec verifierHash(encryptedVerifierHash.begin(), encryptedVerifierHash.end());
  Rc4 cipher(block0Key);
  cipher.apply(verifier.data(), verifier.size());
  cipher.apply(verifierHash.data(), verifierHash.size());
  return sameBytes(crypto::hash(hash, {verifier}), verifierHash);
}

Rc4Office97Keys::Rc4Office97Keys(const std::u16string& password, ByteView salt) {
  const ByteVec h0 = hash(HashAlgorithm::Md5, {utf16le(password)});
  // Sixteen copies of the first 5 bytes of the password's hash, each followed by the salt.
  ByteVec repeated;
  for (int i = 0; i < 16; ++i) {
    repeated.insert(repeated.end(), h0.begin(), h0.begin() + 5);
    repeated.insert(repeated.end(), salt.begin(), salt.end());
  }
  const ByteVec h1 = hash(HashAlgorithm::Md5, {repeated});
  base_.assign(h1.begin(), h1.begin() + 5);
}

ByteVec Rc4Office97Keys::blockKey(uint32_t block) const {
  return hash(HashAlgorithm::Md5, {base_, littleEndian32(block)});
}

Rc4CryptoApiKeys::Rc4CryptoApiKeys(const std::u16string& password, ByteView salt, uint32_t keyBits)
    : h0_(hash(HashAlgorithm::Sha1, {salt, utf16le(password)})), keyBytes_((keyBits == 0 ? 40 : keyBits) / 8) {}

ByteVec Rc4CryptoApiKeys::blockKey(uint32_t block) const {
  ByteVec key = hash(HashAlgorithm::Sha1, {h0_, littleEndian32(block)});
  key.resize(keyBytes_);
  // A 40-bit key is used as 128 bits whose last 88 are zero.
  if (keyBytes_ == 5) key.resize(16, 0);
  return key;
}

}  // namespace gz::sheet::crypto
