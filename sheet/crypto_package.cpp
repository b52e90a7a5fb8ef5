#include "sheet/crypto_package.h"

#include "sheet/biff_error.h"
#include "sheet/biff_records.h"

namespace gz::sheet::crypto {

PackageSize packageSize(ByteView encryptedPackage) {
  if (encryptedPackage.size() < 8) throw BiffError(kTruncatedPackage);
  const uint64_t plain =
      biff::le32(encryptedPackage.data()) | (static_cast<uint64_t>(biff::le32(encryptedPackage.data() + 4)) << 32);
  PackageSize size;
  size.encrypted = encryptedPackage.size() - 8;
  // The data is at least as long as the package: a larger size is a cut stream
  // (and would otherwise reserve memory the file cannot fill).
  if (plain > size.encrypted) throw BiffError(kTruncatedPackage);
  size.plain = static_cast<std::size_t>(plain);
  return size;
}

}  // namespace gz::sheet::crypto
