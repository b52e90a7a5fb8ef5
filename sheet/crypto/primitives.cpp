#include "sheet/crypto/primitives.h"

#include <gcrypt.h>

#include <algorithm>
#include <mutex>
#include <stdexcept>
#include <string>

namespace gz::sheet::crypto {
namespace {

// libgcrypt must be initialised once before its first use.
void ensureGcrypt() {
  static std::once_flag once;
  std::call_once(once, [] {
    if (!gcry_check_version(GCRYPT_VERSION)) throw std::runtime_error("libgcrypt version mismatch");
    gcry_control(GCRYCTL_INITIALIZATION_FINISHED, 0);
  });
}

int gcryptHash(HashAlgorithm algorithm) {
  switch (algorithm) {
    case HashAlgorithm::Md5: return GCRY_MD_MD5;
    case HashAlgorithm::Sha1: return GCRY_MD_SHA1;
    case HashAlgorithm::Sha256: return GCRY_MD_SHA256;
    case HashAlgorithm::Sha384: return GCRY_MD_SHA384;
    case HashAlgorithm::Sha512: return GCRY_MD_SHA512;
  }
  return GCRY_MD_NONE;
}

void check(gcry_error_t err, const char* what) {
  if (err) throw std::runtime_error(std::string(what) + ": " + gcry_strerror(err));
}

struct MdHandle {
  gcry_md_hd_t hd = nullptr;
  MdHandle() = default;
  ~MdHandle() { gcry_md_close(hd); }
  MdHandle(const MdHandle&) = delete;
  MdHandle& operator=(const MdHandle&) = delete;
};

struct CipherHandle {
  gcry_cipher_hd_t hd = nullptr;
  CipherHandle(int algo, int mode) {
    ensureGcrypt();
    check(gcry_cipher_open(&hd, algo, mode, 0), "cipher");
  }
  ~CipherHandle() { gcry_cipher_close(hd); }
  CipherHandle(const CipherHandle&) = delete;
  CipherHandle& operator=(const CipherHandle&) = delete;
};

int aesAlgorithm(std::size_t keySize) {
  switch (keySize) {
    case 16: return GCRY_CIPHER_AES128;
    case 24: return GCRY_CIPHER_AES192;
    case 32: return GCRY_CIPHER_AES256;
  }
  throw std::invalid_argument("AES key size");
}

void aesDecrypt(int mode, ByteView key, ByteView iv, uint8_t* data, std::size_t size) {
  if (size % 16 != 0) throw std::invalid_argument("AES data size");
  CipherHandle c(aesAlgorithm(key.size()), mode);
  check(gcry_cipher_setkey(c.hd, key.data(), key.size()), "AES key");
  if (mode == GCRY_CIPHER_MODE_CBC) {
    if (iv.size() != 16) throw std::invalid_argument("AES IV size");
    check(gcry_cipher_setiv(c.hd, iv.data(), iv.size()), "AES IV");
  }
  if (size > 0) check(gcry_cipher_decrypt(c.hd, data, size, nullptr, 0), "AES");
}

}  // namespace

std::size_t digestSize(HashAlgorithm algorithm) { return gcry_md_get_algo_dlen(gcryptHash(algorithm)); }

struct Hasher::Handle : MdHandle {};

Hasher::Hasher(HashAlgorithm algorithm) : handle_(std::make_unique<Handle>()), size_(digestSize(algorithm)) {
  ensureGcrypt();
  check(gcry_md_open(&handle_->hd, gcryptHash(algorithm), 0), "hash");
}

Hasher::~Hasher() = default;

Hasher& Hasher::add(ByteView bytes) {
  gcry_md_write(handle_->hd, bytes.data(), bytes.size());
  return *this;
}

void Hasher::digestInto(uint8_t* out) {
  const unsigned char* d = gcry_md_read(handle_->hd, 0);
  std::copy(d, d + size_, out);
  gcry_md_reset(handle_->hd);
}

ByteVec Hasher::digest() {
  ByteVec out(size_);
  digestInto(out.data());
  return out;
}

ByteVec hash(HashAlgorithm algorithm, std::initializer_list<ByteView> parts) {
  Hasher h(algorithm);
  for (ByteView p : parts) h.add(p);
  return h.digest();
}

ByteVec hmac(HashAlgorithm algorithm, ByteView key, ByteView data) {
  ensureGcrypt();
  MdHandle h;
  check(gcry_md_open(&h.hd, gcryptHash(algorithm), GCRY_MD_FLAG_HMAC), "HMAC");
  check(gcry_md_setkey(h.hd, key.data(), key.size()), "HMAC key");
  gcry_md_write(h.hd, data.data(), data.size());
  const unsigned char* d = gcry_md_read(h.hd, 0);
  return ByteVec(d, d + digestSize(algorithm));
}

struct Rc4::Handle : CipherHandle {
  Handle() : CipherHandle(GCRY_CIPHER_ARCFOUR, GCRY_CIPHER_MODE_STREAM) {}
};

Rc4::Rc4(ByteView key) : handle_(std::make_unique<Handle>()) {
  check(gcry_cipher_setkey(handle_->hd, key.data(), key.size()), "RC4 key");
}

Rc4::~Rc4() = default;

void Rc4::apply(uint8_t* data, std::size_t size) {
  if (size > 0) check(gcry_cipher_decrypt(handle_->hd, data, size, nullptr, 0), "RC4");
}

void aesEcbDecrypt(ByteView key, uint8_t* data, std::size_t size) {
  aesDecrypt(GCRY_CIPHER_MODE_ECB, key, {}, data, size);
}

void aesCbcDecrypt(ByteView key, ByteView iv, uint8_t* data, std::size_t size) {
  aesDecrypt(GCRY_CIPHER_MODE_CBC, key, iv, data, size);
}

bool sameBytes(ByteView a, ByteView b) {
  if (a.size() != b.size()) return false;
  uint8_t diff = 0;
  for (std::size_t i = 0; i < a.size(); ++i) diff |= a[i] ^ b[i];
  return diff == 0;
}

}  // namespace gz::sheet::crypto
