// RC4 as the binary formats use it: the stream is cut into blocks of a fixed
// size, and each block is decrypted with a key of its own, derived from the
// password and the block's number.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

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

}  // namespace gz::sheet::crypto
