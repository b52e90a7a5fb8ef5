#include "sheet/crypto/rc4_cryptoapi.h"

#include "sheet/crypto/keys.h"

namespace gz::sheet::crypto {

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
