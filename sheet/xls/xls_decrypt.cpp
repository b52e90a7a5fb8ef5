#include "sheet/xls/xls_decrypt.h"

#include <algorithm>
#include <array>
#include <functional>
#include <memory>
#include <optional>

#include "sheet/crypto/headers.h"
#include "sheet/crypto/passwords.h"
#include "sheet/crypto/rc4.h"
#include "sheet/crypto/xor.h"
#include "sheet/model/read_error.h"

namespace gz::sheet {
namespace {

using namespace biff;
using crypto::ByteVec;

constexpr std::size_t kRc4BlockSize = 1024;

// Records that are never encrypted, whatever the scheme.
bool alwaysPlain(uint16_t id) {
  switch (id) {
    case kBof:
    case kFilePass:
    case 0x0194:  // UsrExcl
    case 0x0195:  // FileLock
    case 0x00E1:  // InterfaceHdr
    case 0x0196:  // RRDInfo
    case 0x0138:  // RRDHead
      return true;
    default: return false;
  }
}

struct FilePassAt {
  std::size_t end = 0;  // offset just past the record
  Bytes payload;
};

// The FILEPASS record among the records before the globals' EOF. Damage on
// the way is left for the reader to report.
std::optional<FilePassAt> findFilePass(Bytes stream) {
  std::size_t pos = 0;
  while (stream.size() - pos >= 4) {
    const uint16_t id = le16(stream.data() + pos);
    const std::size_t length = le16(stream.data() + pos + 2);
    if (stream.size() - pos - 4 < length) return std::nullopt;
    if (id == kFilePass) return FilePassAt{pos + 4 + length, stream.subspan(pos + 4, length)};
    if (id == kEof) return std::nullopt;
    pos += 4 + length;
  }
  return std::nullopt;
}

// Decrypts `size` bytes at `offset` of the stream; `recordSize` is the size
// of the record's whole payload.
using RangeDecryptor = std::function<void(uint8_t* data, std::size_t size, std::size_t offset, std::size_t recordSize)>;

// What one scheme needs: the password check, and once it passed, the decryptor.
struct Scheme {
  PasswordCheck check;
  std::function<RangeDecryptor()> decryptor;
};

Scheme xorScheme(uint16_t storedKey, uint16_t storedVerifier) {
  auto array = std::make_shared<std::array<uint8_t, 16>>();
  Scheme s;
  s.check = [=](const std::u16string& password) {
    const std::string bytes = crypto::xorPasswordBytes(password);
    if (bytes.empty() || crypto::xorPasswordVerifier(bytes) != storedVerifier || crypto::xorKey(bytes) != storedKey)
      return false;
    *array = crypto::xorArray(bytes);
    return true;
  };
  s.decryptor = [=] {
    return [array](uint8_t* data, std::size_t size, std::size_t offset, std::size_t recordSize) {
      crypto::xorDeobfuscate(*array, data, size, offset, recordSize);
    };
  };
  return s;
}

// Both RC4 schemes: block keys from the password, checked on the verifier.
template <typename Keys>
Scheme rc4Scheme(std::function<Keys(const std::u16string&)> makeKeys, crypto::HashAlgorithm hash, ByteVec verifier,
                 ByteVec verifierHash) {
  auto keys = std::make_shared<std::optional<Keys>>();
  Scheme s;
  s.check = [=](const std::u16string& password) {
    Keys k = makeKeys(password);
    if (!crypto::rc4VerifierMatches(k.blockKey(0), hash, verifier, verifierHash)) return false;
    *keys = std::move(k);
    return true;
  };
  s.decryptor = [=] {
    auto rc4 = std::make_shared<crypto::Rc4BlockDecryptor>([keys](uint32_t block) { return (*keys)->blockKey(block); },
                                                           kRc4BlockSize);
    return
        [rc4](uint8_t* data, std::size_t size, std::size_t offset, std::size_t) { rc4->decrypt(data, size, offset); };
  };
  return s;
}

Scheme schemeOf(Bytes p) {
  // A BIFF5 FILEPASS holds only the XOR key and verifier; BIFF8 puts the
  // scheme's number in front.
  if (p.size() == 4) return xorScheme(le16(p.data()), le16(p.data() + 2));
  if (p.size() < 6) throw ReadError(kDamagedEncryption);
  const uint16_t type = le16(p.data());
  if (type == 0) return xorScheme(le16(p.data() + 2), le16(p.data() + 4));
  if (type != 1) throw ReadError(kUnsupportedEncryption, WorkbookFault::Unsupported);

  const uint16_t major = le16(p.data() + 2), minor = le16(p.data() + 4);
  if (major == 1 && minor == 1) {
    // Salt, encrypted verifier and encrypted verifier hash, 16 bytes each.
    if (p.size() < 6 + 48) throw ReadError(kDamagedEncryption);
    const ByteVec salt(p.begin() + 6, p.begin() + 22);
    return rc4Scheme<crypto::Rc4Office97Keys>(
        [salt](const std::u16string& pw) { return crypto::Rc4Office97Keys(pw, salt); }, crypto::HashAlgorithm::Md5,
        ByteVec(p.begin() + 22, p.begin() + 38), ByteVec(p.begin() + 38, p.begin() + 54));
  }
  if (major >= 2 && major <= 4 && minor == 2) {
    // Flags, then the binary header and verifier.
    if (p.size() < 10) throw ReadError(kDamagedEncryption);
    const crypto::BinaryEncryptionInfo info = crypto::parseBinaryEncryptionInfo(p.subspan(10));
    const uint32_t bits = info.keyBits == 0 ? 40 : info.keyBits;
    if (info.algorithm != crypto::kAlgRc4 || (info.hashAlgorithm != 0 && info.hashAlgorithm != crypto::kAlgSha1) ||
        bits < 40 || bits > 128 || bits % 8 != 0)
      throw ReadError(kUnsupportedEncryption, WorkbookFault::Unsupported);
    if (info.verifierHashSize != 20) throw ReadError(kDamagedEncryption);
    const ByteVec salt = info.salt;
    return rc4Scheme<crypto::Rc4CryptoApiKeys>(
        [salt, bits](const std::u16string& pw) { return crypto::Rc4CryptoApiKeys(pw, salt, bits); },
        crypto::HashAlgorithm::Sha1, info.encryptedVerifier,
        ByteVec(info.encryptedVerifierHash.begin(), info.encryptedVerifierHash.begin() + 20));
  }
  throw ReadError(kUnsupportedEncryption, WorkbookFault::Unsupported);
}

// Decrypts every record's payload from `pos` to the end of the stream, but
// the records that are never encrypted and the sheet offset of BOUNDSHEET.
// A broken record header ends the walk; the reader reports it if it matters.
void decryptRecords(std::vector<uint8_t>& stream, std::size_t pos, const RangeDecryptor& decrypt) {
  while (stream.size() - pos >= 4) {
    const uint16_t id = le16(stream.data() + pos);
    const std::size_t length = le16(stream.data() + pos + 2);
    const std::size_t data = pos + 4;
    if (stream.size() - data < length) return;
    if (!alwaysPlain(id)) {
      const std::size_t plain = id == kBoundSheet ? std::min<std::size_t>(4, length) : 0;
      decrypt(stream.data() + data + plain, length - plain, data + plain, length);
    }
    pos = data + length;
  }
}

}  // namespace

bool hasFilePass(Bytes stream) { return findFilePass(stream).has_value(); }

void decryptWorkbookStream(std::vector<uint8_t>& stream, const PasswordSource& ask, const std::string& file) {
  const std::optional<FilePassAt> filePass = findFilePass(stream);
  if (!filePass) return;
  const Scheme scheme = schemeOf(filePass->payload);
  unlockWithPasswords(scheme.check, ask, file);
  decryptRecords(stream, filePass->end, scheme.decryptor());
}

}  // namespace gz::sheet
