#include "sheet/crypto/rc4.h"

#include "sheet/crypto/keys.h"

namespace gz::sheet::crypto {

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

}  // namespace gz::sheet::crypto
