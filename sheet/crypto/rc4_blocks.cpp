#include "sheet/crypto/rc4_blocks.h"

#include <algorithm>
#include <utility>

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

}  // namespace gz::sheet::crypto
