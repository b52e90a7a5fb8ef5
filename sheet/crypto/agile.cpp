#include "sheet/crypto/agile.h"

#include <glib.h>
#include <libxml/parser.h>
#include <libxml/tree.h>

#include <algorithm>
#include <limits>
#include <memory>
#include <string_view>

#include "sheet/crypto/headers.h"
#include "sheet/crypto/keys.h"
#include "sheet/model/read_error.h"
#include "sheet/shared/gsf_handles.h"
#include "sheet/shared/xml_handles.h"

namespace gz::sheet::crypto {
namespace {

constexpr std::size_t kSegmentSize = 4096;
// Larger spin counts are not written by any Office version; the bound keeps a
// forged file from holding the reader for minutes.
constexpr uint32_t kMaxSpinCount = 10'000'000;

constexpr uint8_t kVerifierInputBlock[] = {0xfe, 0xa7, 0xd2, 0x76, 0x3b, 0x4b, 0x9e, 0x79};
constexpr uint8_t kVerifierValueBlock[] = {0xd7, 0xaa, 0x0f, 0x6d, 0x30, 0x61, 0x34, 0x4e};
constexpr uint8_t kKeyValueBlock[] = {0x14, 0x6e, 0x0b, 0xe7, 0xab, 0xac, 0xd0, 0xd6};
constexpr uint8_t kHmacKeyBlock[] = {0x5f, 0xb2, 0xad, 0x01, 0x0c, 0xb9, 0xe1, 0xf6};
constexpr uint8_t kHmacValueBlock[] = {0xa0, 0x67, 0x7f, 0x02, 0xb2, 0x2c, 0x84, 0x33};

constexpr const char* kPasswordEncryptorUri = "http://schemas.microsoft.com/office/2006/keyEncryptor/password";

[[noreturn]] void damaged() { throw ReadError(kDamagedEncryption); }
[[noreturn]] void unsupported() { throw ReadError(kUnsupportedEncryption, WorkbookFault::Unsupported); }

std::string_view localName(const xmlNode* n) { return reinterpret_cast<const char*>(n->name); }

const xmlNode* child(const xmlNode* parent, std::string_view name) {
  for (const xmlNode* c = parent ? parent->children : nullptr; c; c = c->next) {
    if (c->type == XML_ELEMENT_NODE && localName(c) == name) return c;
  }
  return nullptr;
}

std::optional<std::string> attribute(const xmlNode* n, const char* name) {
  const XmlString v(xmlGetProp(n, reinterpret_cast<const xmlChar*>(name)));
  if (!v) return std::nullopt;
  return std::string(reinterpret_cast<const char*>(v.get()));
}

std::string required(const xmlNode* n, const char* name) {
  auto v = attribute(n, name);
  if (!v) damaged();
  return *v;
}

std::size_t number(const xmlNode* n, const char* name) {
  const std::string s = required(n, name);
  if (s.empty() || s.size() > 9 || s.find_first_not_of("0123456789") != std::string::npos) damaged();
  return std::stoul(s);
}

ByteVec base64(const xmlNode* n, const char* name) {
  const std::string s = required(n, name);
  gsize length = 0;
  const GlibPtr<guchar> decoded(g_base64_decode(s.c_str(), &length));
  return ByteVec(decoded.get(), decoded.get() + length);
}

HashAlgorithm hashNamed(const std::string& name) {
  if (name == "SHA1" || name == "SHA-1") return HashAlgorithm::Sha1;
  if (name == "SHA256" || name == "SHA-256") return HashAlgorithm::Sha256;
  if (name == "SHA384" || name == "SHA-384") return HashAlgorithm::Sha384;
  if (name == "SHA512" || name == "SHA-512") return HashAlgorithm::Sha512;
  if (name == "MD5") return HashAlgorithm::Md5;
  unsupported();
}

AgileParameters parameters(const xmlNode* n) {
  if (required(n, "cipherAlgorithm") != "AES" || required(n, "cipherChaining") != "ChainingModeCBC") unsupported();
  AgileParameters p;
  p.hash = hashNamed(required(n, "hashAlgorithm"));
  const std::size_t keyBits = number(n, "keyBits");
  if (keyBits != 128 && keyBits != 192 && keyBits != 256) unsupported();
  p.keyBytes = keyBits / 8;
  p.blockSize = number(n, "blockSize");
  p.saltSize = number(n, "saltSize");
  p.salt = base64(n, "saltValue");
  // hashSize is optional on the password key; it must agree with the algorithm where given.
  p.hashSize = digestSize(p.hash);
  if (auto given = attribute(n, "hashSize"); given && number(n, "hashSize") != p.hashSize) damaged();
  if (p.blockSize != 16 || p.saltSize < 1 || p.salt.size() != p.saltSize) damaged();
  return p;
}

// An encrypted value must be whole AES blocks holding at least `atLeast` bytes.
void requireBlocks(const ByteVec& v, std::size_t atLeast) {
  if (v.empty() || v.size() % 16 != 0 || v.size() < atLeast) damaged();
}

ByteVec decrypted(ByteView key, ByteView iv, const ByteVec& data, std::size_t keep) {
  ByteVec out = data;
  aesCbcDecrypt(key, iv, out.data(), out.size());
  out.resize(keep);
  return out;
}

}  // namespace

AgileDescription parseAgileDescription(ByteView xml) {
  if (xml.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) damaged();
  // No network, no entity expansion: the description is small and flat.
  XmlDocPtr doc(xmlReadMemory(reinterpret_cast<const char*>(xml.data()), static_cast<int>(xml.size()), nullptr, nullptr,
                              XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING));
  if (!doc || doc->intSubset) damaged();
  const xmlNode* root = xmlDocGetRootElement(doc.get());
  if (!root || localName(root) != "encryption") damaged();

  AgileDescription d;
  const xmlNode* keyData = child(root, "keyData");
  if (!keyData) damaged();
  d.package = parameters(keyData);

  const xmlNode* passwordKey = nullptr;
  for (const xmlNode* e = child(root, "keyEncryptors") ? child(root, "keyEncryptors")->children : nullptr; e;
       e = e->next) {
    if (e->type != XML_ELEMENT_NODE || localName(e) != "keyEncryptor") continue;
    if (attribute(e, "uri") == kPasswordEncryptorUri) passwordKey = child(e, "encryptedKey");
  }
  // A workbook encrypted for certificates only cannot be opened with a password.
  if (!passwordKey) unsupported();
  d.password = parameters(passwordKey);
  const std::size_t spin = number(passwordKey, "spinCount");
  if (spin > kMaxSpinCount) damaged();
  d.spinCount = static_cast<uint32_t>(spin);
  d.encryptedVerifierHashInput = base64(passwordKey, "encryptedVerifierHashInput");
  d.encryptedVerifierHashValue = base64(passwordKey, "encryptedVerifierHashValue");
  d.encryptedKeyValue = base64(passwordKey, "encryptedKeyValue");
  requireBlocks(d.encryptedVerifierHashInput, d.password.saltSize);
  requireBlocks(d.encryptedVerifierHashValue, d.password.hashSize);
  requireBlocks(d.encryptedKeyValue, d.package.keyBytes);

  if (const xmlNode* integrity = child(root, "dataIntegrity")) {
    d.encryptedHmacKey = base64(integrity, "encryptedHmacKey");
    d.encryptedHmacValue = base64(integrity, "encryptedHmacValue");
    requireBlocks(d.encryptedHmacKey, d.package.hashSize);
    requireBlocks(d.encryptedHmacValue, d.package.hashSize);
  }
  return d;
}

std::optional<ByteVec> AgileEncryption::keyFor(const std::u16string& password) const {
  const AgileParameters& p = d_.password;
  const ByteVec h = iteratedPasswordHash(p.hash, p.salt, password, d_.spinCount);
  auto keyFrom = [&](ByteView block) { return fitted(hash(p.hash, {h, block}), p.keyBytes, 0x36); };
  const ByteVec iv = fitted(p.salt, p.blockSize, 0x36);

  const ByteVec input = decrypted(keyFrom(kVerifierInputBlock), iv, d_.encryptedVerifierHashInput, p.saltSize);
  const ByteVec expected = decrypted(keyFrom(kVerifierValueBlock), iv, d_.encryptedVerifierHashValue, p.hashSize);
  if (!sameBytes(hash(p.hash, {input}), expected)) return std::nullopt;
  return decrypted(keyFrom(kKeyValueBlock), iv, d_.encryptedKeyValue, d_.package.keyBytes);
}

ByteVec AgileEncryption::decryptPackage(ByteView encryptedPackage, ByteView key) const {
  const AgileParameters& p = d_.package;
  auto ivFor = [&](ByteView block) { return fitted(hash(p.hash, {p.salt, block}), p.blockSize, 0x36); };

  const PackageSize size = packageSize(encryptedPackage);
  const std::size_t needed = (size.plain + 15) / 16 * 16;
  if (size.encrypted < needed) throw ReadError(kTruncatedPackage);
  // The HMAC covers the stream as stored, size field and padding included.
  if (!d_.encryptedHmacKey.empty()) {
    const ByteVec hmacKey = decrypted(key, ivFor(kHmacKeyBlock), d_.encryptedHmacKey, p.hashSize);
    const ByteVec expected = decrypted(key, ivFor(kHmacValueBlock), d_.encryptedHmacValue, p.hashSize);
    if (!sameBytes(hmac(p.hash, hmacKey, encryptedPackage), expected)) throw ReadError(kPackageIntegrity);
  }
  ByteVec out(encryptedPackage.begin() + 8, encryptedPackage.begin() + 8 + needed);
  for (std::size_t start = 0, segment = 0; start < out.size(); start += kSegmentSize, ++segment) {
    const std::size_t n = std::min(kSegmentSize, out.size() - start);
    aesCbcDecrypt(key, ivFor(littleEndian32(static_cast<uint32_t>(segment))), out.data() + start, n);
  }
  out.resize(size.plain);
  return out;
}

}  // namespace gz::sheet::crypto
