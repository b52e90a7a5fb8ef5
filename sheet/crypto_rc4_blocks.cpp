#include "sheet/crypto_rc4_blocks.h"

#include <algorithm>
#include <utility>

namespace gz::sheet::crypto {

Rc4BlockDecryptor::Rc4BlockDecryptor(BlockKeyFunction keyOf, std::size_t blockSize)
    : keyOf_(std::move(keyOf)), blockSize_(blockSize) {}

Rc4BlockDecryptor::~Rc4BlockDecryptor() = default;

void Rc4BlockDecryptor::decrypt(uint8_t* data, std::size_t size, std::size_t streamOffset) {
  while (size > 0) {
    const uint32_t block = static_cast<uint32_t>(streamOffset / blockSize_);
    const std::size_t within = streamOffset % blockSize_;
    if (!cipher_ || block != block_ || within < position_) {
      cipher_ = std::make_unique<Rc4>(keyOf_(block));
      block_ = block;
      position_ = 0;
    }
    cipher_->skip(within - position_);
    const std::size_t n = std::min(size, blockSize_ - within);
    cipher_->apply(data, n);
    position_ = within + n;
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
