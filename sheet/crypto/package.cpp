#include "sheet/crypto/package.h"

#include "sheet/model/read_error.h"
#include "sheet/shared/byte_order.h"

namespace gz::sheet::crypto {

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
