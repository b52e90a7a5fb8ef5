// RC4 as the .xls workbooks use it: the stream is cut into blocks of a fixed
// size, each decrypted with a key of its own derived from the password and
// the block's number; the keys come from MD5 (Office 97 and 2000, 40 bits)
// or from SHA-1 through the CryptoAPI (Office XP on, 40 to 128 bits).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "sheet/crypto/primitives.h"

namespace gz::sheet::crypto {

// The key of block `block`.
using BlockKeyFunction = std::function<ByteVec(uint32_t block)>;

// Decrypts pieces of one stream given by their offset. The key stream of
// the block in hand is kept, so that the many short pieces of one block (the
// records of a workbook stream) cost one key setup between them.
class Rc4BlockDecryptor {
 public:
  Rc4BlockDecryptor(BlockKeyFunction keyOf, std::size_t blockSize);

  // Decrypts `size` bytes in place; data[0] is at `streamOffset` in the stream.
  void decrypt(uint8_t* data, std::size_t size, std::size_t streamOffset);

 private:
  BlockKeyFunction keyOf_;
  std::size_t blockSize_;
  ByteVec keyStream_;  // of block_, empty before the first piece
  uint32_t block_ = 0;
};

// The password check shared by both RC4 schemes: the verifier and its hash
// are decrypted with block 0's key in one key stream, and the hash of the
// verifier must equal the decrypted hash.
bool rc4VerifierMatches(ByteView block0Key, HashAlgorithm hash, ByteView encryptedVerifier,
                        ByteView encryptedVerifierHash);

// RC4 encryption of .xls workbooks saved by the Office 97 and 2000 versions:
// keys derived with MD5 from the password and a 16-byte salt (40 bits strong).
class Rc4Office97Keys {
 public:
  Rc4Office97Keys(const std::u16string& password, ByteView salt);
  ByteVec blockKey(uint32_t block) const;

 private:
  ByteVec base_;  // the 5 bytes every block key is derived from
};

// RC4 through the CryptoAPI, the "strong" encryption of .xls workbooks from
// Office XP on: keys derived with SHA-1 from a 16-byte salt and the
// password, 40 to 128 bits long.
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
