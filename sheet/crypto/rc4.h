// RC4 encryption of .xls workbooks saved by the Office 97 and 2000 versions:
// keys derived with MD5 from the password and a 16-byte salt (40 bits strong).
#pragma once

#include <cstdint>
#include <string>

#include "sheet/crypto/primitives.h"

namespace gz::sheet::crypto {

class Rc4Office97Keys {
 public:
  Rc4Office97Keys(const std::u16string& password, ByteView salt);
  ByteVec blockKey(uint32_t block) const;

 private:
  ByteVec base_;  // the 5 bytes every block key is derived from
};

}  // namespace gz::sheet::crypto
