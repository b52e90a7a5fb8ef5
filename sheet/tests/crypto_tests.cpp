// The pieces of the decryption on their own: the XOR obfuscation's password
// handling against the values stored in a real file, and the RC4 block
// stream, which must give the same bytes however the stream is visited.
#include <gtest/gtest.h>

#include <numeric>

#include "sheet/crypto/keys.h"
#include "sheet/crypto/primitives.h"
#include "sheet/crypto/rc4.h"
#include "sheet/crypto/xor.h"

namespace gz::sheet::crypto {
namespace {

TEST(XorObfuscation, PasswordBytesKeyAndVerifier) {
  // poi_xor-encryption-abc.xls stores key 0x514A and verifier 0xCC1A for "abc".
  EXPECT_EQ(xorKey("abc"), 0x514A);
  EXPECT_EQ(xorPasswordVerifier("abc"), 0xCC1A);
  // One byte per character: the low byte, else the high one; at most 15.
  EXPECT_EQ(xorPasswordBytes(u"abc"), "abc");
  EXPECT_EQ(xorPasswordBytes(u"\u0100\u4E2Dz"), std::string("\x01\x2Dz", 3));
  EXPECT_EQ(xorPasswordBytes(u"VelvetSweatshop and more"), "VelvetSweatshop");
  EXPECT_EQ(xorPasswordBytes(u""), "");
  // Every length from 1 to 15 fills the whole array (odd and even lengths take different paths).
  for (std::size_t n = 1; n <= 15; ++n) {
    const std::array<uint8_t, 16> array = xorArray(std::string(n, 'k'));
    EXPECT_NE(std::accumulate(array.begin(), array.end(), 0), 0) << n;
  }
}

TEST(XorObfuscation, PositionInTheArrayFollowsTheStreamOffset) {
  const std::array<uint8_t, 16> array = xorArray("abc");
  uint8_t whole[40];
  for (uint8_t i = 0; i < 40; ++i) whole[i] = i;
  uint8_t pieces[40];
  std::copy(whole, whole + 40, pieces);
  xorDeobfuscate(array, whole, 40, 1000, 40);
  // The same record data done in two parts (as the sheet offset of BOUNDSHEET is left out).
  xorDeobfuscate(array, pieces, 4, 1000, 40);
  xorDeobfuscate(array, pieces + 4, 36, 1004, 40);
  EXPECT_TRUE(std::equal(whole, whole + 40, pieces));
}

TEST(Rc4Blocks, AnyOrderOfPiecesGivesTheSequentialResult) {
  const Rc4Office97Keys keys(u"password", ByteVec(16, 0x5A));
  auto keyOf = [&](uint32_t block) { return keys.blockKey(block); };
  ByteVec data(5000);
  std::iota(data.begin(), data.end(), 0);

  // Reference: each 1024-byte block with a fresh key stream.
  ByteVec expected = data;
  for (std::size_t start = 0; start < expected.size(); start += 1024) {
    Rc4 cipher(keyOf(static_cast<uint32_t>(start / 1024)));
    cipher.apply(expected.data() + start, std::min<std::size_t>(1024, expected.size() - start));
  }

  // Pieces with gaps, across block boundaries, and going back.
  ByteVec got = data;
  Rc4BlockDecryptor decryptor(keyOf, 1024);
  const std::pair<std::size_t, std::size_t> pieces[] = {{4000, 1000}, {0, 10}, {10, 1500}, {1510, 2490}};
  for (auto [offset, size] : pieces) decryptor.decrypt(got.data() + offset, size, offset);
  EXPECT_EQ(got, expected);
}

TEST(Rc4Blocks, TheVerifierCheckNeedsTheRightKeyAndHash) {
  // A verifier and its MD5 hash encrypted with one key stream.
  const ByteVec key(16, 3);
  ByteVec verifier(16, 9);
  ByteVec verifierHash = hash(HashAlgorithm::Md5, {verifier});
  Rc4 cipher(key);
  cipher.apply(verifier.data(), verifier.size());
  cipher.apply(verifierHash.data(), verifierHash.size());
  EXPECT_TRUE(rc4VerifierMatches(key, HashAlgorithm::Md5, verifier, verifierHash));
  EXPECT_FALSE(rc4VerifierMatches(ByteVec(16, 4), HashAlgorithm::Md5, verifier, verifierHash));
  EXPECT_FALSE(rc4VerifierMatches(key, HashAlgorithm::Sha1, verifier, verifierHash));
}

TEST(KeyDerivation, IteratedHashAndReusedHasher) {
  // Zero rounds is the hash of salt and password; each round hashes the round number and the digest.
  const ByteVec salt = {1, 2, 3};
  const ByteVec h0 = hash(HashAlgorithm::Sha512, {salt, utf16le(u"pw")});
  EXPECT_EQ(iteratedPasswordHash(HashAlgorithm::Sha512, salt, u"pw", 0), h0);
  const ByteVec h1 = hash(HashAlgorithm::Sha512, {littleEndian32(0), h0});
  const ByteVec h2 = hash(HashAlgorithm::Sha512, {littleEndian32(1), h1});
  EXPECT_EQ(iteratedPasswordHash(HashAlgorithm::Sha512, salt, u"pw", 2), h2);
  EXPECT_EQ(utf16le(u"a\u4E2D"), (ByteVec{'a', 0, 0x2D, 0x4E}));

  Hasher hasher(HashAlgorithm::Sha1);
  const ByteVec first = hasher.add(salt).digest();
  EXPECT_EQ(hasher.add(salt).digest(), first);  // a digest starts the next one afresh
  EXPECT_EQ(fitted({1, 2, 3}, 5, 0x36), (ByteVec{1, 2, 3, 0x36, 0x36}));
  EXPECT_EQ(fitted({1, 2, 3}, 2, 0x36), (ByteVec{1, 2}));
}

}  // namespace
}  // namespace gz::sheet::crypto
