// The Agile encryption of .xlsx packages (Office 2010 on): an XML
// description of the algorithms, a random package key encrypted with a key
// derived from the password, the package encrypted in 4096-byte segments
// with AES-CBC, and an HMAC over the encrypted package.
#pragma once

#include <optional>
#include <string>

#include "sheet/crypto/primitives.h"

namespace gz::sheet::crypto {

// One set of algorithm parameters, as both the package key and the password
// key carry them.
struct AgileParameters {
  HashAlgorithm hash = HashAlgorithm::Sha1;
  std::size_t hashSize = 20;
  std::size_t keyBytes = 16;
  std::size_t blockSize = 16;
  std::size_t saltSize = 16;
  ByteVec salt;
};

struct AgileDescription {
  AgileParameters package;  // keyData
  AgileParameters password;  // the password key encryptor
  uint32_t spinCount = 0;
  ByteVec encryptedVerifierHashInput, encryptedVerifierHashValue, encryptedKeyValue;
  ByteVec encryptedHmacKey, encryptedHmacValue;  // empty when the file has no integrity data
};

// Parses the XML of an EncryptionInfo stream (after its 8-byte version and
// flags). Throws ReadError: damaged for malformed XML or missing or
// inconsistent values, unsupported for algorithms other than AES-CBC with
// SHA-1/SHA-2/MD5 or for a file that has no password key.
AgileDescription parseAgileDescription(ByteView xml);

class AgileEncryption {
 public:
  explicit AgileEncryption(ByteView xml) : d_(parseAgileDescription(xml)) {}

  // The package key when `password` is the right one.
  std::optional<ByteVec> keyFor(const std::u16string& password) const;

  // The EncryptedPackage stream decrypted with the package key. Throws
  // ReadError (damaged) when it is cut short or its HMAC does not match.
  ByteVec decryptPackage(ByteView encryptedPackage, ByteView key) const;

 private:
  AgileDescription d_;
};

}  // namespace gz::sheet::crypto
