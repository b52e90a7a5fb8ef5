// An .xlsx workbook saved with a password to open: a compound file whose
// EncryptionInfo stream describes the encryption and whose EncryptedPackage
// stream holds the zip package, encrypted.
#include <algorithm>
#include <optional>

#include "sheet/crypto/agile.h"
#include "sheet/crypto/passwords.h"
#include "sheet/crypto/standard.h"
#include "sheet/model/read_error.h"
#include "sheet/model/workbook.h"
#include "sheet/shared/byte_order.h"
#include "sheet/xlsx/xlsx_reader.h"

namespace gz::sheet {
namespace {

// The zip package, decrypted with the default password or one from `ask`.
template <typename Scheme>
std::vector<uint8_t> decryptedPackage(const Scheme& scheme, const std::vector<uint8_t>& encrypted,
                                      const PasswordSource& ask, const std::string& name) {
  std::optional<crypto::ByteVec> key;
  unlockWithPasswords(
      [&](const std::u16string& password) {
        key = scheme.keyFor(password);
        return key.has_value();
      },
      ask, name);
  return scheme.decryptPackage(encrypted, *key);
}

std::vector<uint8_t> decryptedPackage(const std::vector<uint8_t>& info, const std::vector<uint8_t>& encrypted,
                                      const std::string& name, const PasswordSource& ask) {
  // Version (major, minor), then 32 bits of flags.
  if (info.size() < 8) throw ReadError(kDamagedEncryption);
  const uint16_t major = le16(info.data()), minor = le16(info.data() + 2);
  const crypto::ByteView rest(info.data() + 8, info.size() - 8);
  if (major == 4 && minor == 4) return decryptedPackage(crypto::AgileEncryption(rest), encrypted, ask, name);
  if (major >= 2 && major <= 4 && minor == 2)
    return decryptedPackage(crypto::StandardEncryption(rest), encrypted, ask, name);
  // Extensible encryption (minor version 3) needs a provider of its own.
  throw ReadError(kUnsupportedEncryption, WorkbookFault::Unsupported);
}

}  // namespace

std::unique_ptr<Workbook> readEncryptedXlsx(const std::vector<uint8_t>& info, const std::vector<uint8_t>& encrypted,
                                            const std::string& name, const PasswordSource& ask,
                                            const SheetRequest& request) {
  std::vector<uint8_t> package;
  try {
    package = decryptedPackage(info, encrypted, name, ask);
  } catch (const ReadError& e) {
    throw WorkbookError(e.fault(), e.what(), name);
  }
  // A verified password with data that is no zip package means the data was damaged.
  static const uint8_t kZipMagic[] = {'P', 'K', 0x03, 0x04};
  if (package.size() < sizeof kZipMagic || !std::equal(kZipMagic, kZipMagic + 4, package.begin()))
    throw WorkbookError(WorkbookFault::Damaged, kDamagedEncryption, name);
  return readXlsx(package.data(), package.size(), name, request);
}

}  // namespace gz::sheet
