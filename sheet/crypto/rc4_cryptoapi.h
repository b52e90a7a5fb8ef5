// RC4 through the CryptoAPI, the "strong" encryption of .xls workbooks from
// Office XP on: keys derived with SHA-1 from a 16-byte salt and the
// password, 40 to 128 bits long.
#pragma once

#include <cstdint>
#include <string>

#include "sheet/crypto/primitives.h"

namespace gz::sheet::crypto {

class Rc4CryptoApiKeys {
 public:
  // `keyBits`: 40 to 128 in steps of 8 (0 stands for 40).
  Rc4CryptoApiKeys(const std::u16string& password, ByteView salt, uint32_t keyBits);
  ByteVec blockKey(uint32_t block) const;

 private:
  ByteVec h0_;
  std::size_t keyBytes_;
};

}  // namespace gz::sheet::crypto
