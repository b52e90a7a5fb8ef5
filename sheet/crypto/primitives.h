// The cryptographic primitives the decryption of workbooks needs: hashes,
// HMAC, RC4 and AES. They come from libgcrypt; this is the only file that
// includes it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <span>
#include <vector>

namespace gz::sheet::crypto {

using ByteVec = std::vector<uint8_t>;
using ByteView = std::span<const uint8_t>;

enum class HashAlgorithm : uint8_t { Md5, Sha1, Sha256, Sha384, Sha512 };

std::size_t digestSize(HashAlgorithm algorithm);

// An incremental hash; reused across many digests (the key derivations hash
// up to millions of short inputs, where opening a context each time would
// dominate).
class Hasher {
 public:
  explicit Hasher(HashAlgorithm algorithm);
  ~Hasher();
  Hasher(const Hasher&) = delete;
  Hasher& operator=(const Hasher&) = delete;

  Hasher& add(ByteView bytes);
  // The digest of everything added since the last digest; starts afresh.
  ByteVec digest();
  // The same, written to `out` (digestSize() bytes), for the hot loops.
  void digestInto(uint8_t* out);
  std::size_t size() const { return size_; }

 private:
  struct Handle;
  std::unique_ptr<Handle> handle_;
  std::size_t size_;
};

// The digest of the concatenation of `parts`.
ByteVec hash(HashAlgorithm algorithm, std::initializer_list<ByteView> parts);

ByteVec hmac(HashAlgorithm algorithm, ByteView key, ByteView data);

// An RC4 key stream applied to data (encryption and decryption are the same).
class Rc4 {
 public:
  explicit Rc4(ByteView key);
  ~Rc4();
  Rc4(const Rc4&) = delete;
  Rc4& operator=(const Rc4&) = delete;

  void apply(uint8_t* data, std::size_t size);

 private:
  struct Handle;
  std::unique_ptr<Handle> handle_;
};

// AES with a 16, 24 or 32 byte key on whole 16-byte blocks, in place.
// Both throw std::invalid_argument for another key or data size.
void aesEcbDecrypt(ByteView key, uint8_t* data, std::size_t size);
void aesCbcDecrypt(ByteView key, ByteView iv, uint8_t* data, std::size_t size);

// True when the two byte strings are equal, in time independent of where they differ.
bool sameBytes(ByteView a, ByteView b);

}  // namespace gz::sheet::crypto
