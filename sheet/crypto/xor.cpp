#include "sheet/crypto/xor.h"

namespace gz::sheet::crypto {
namespace {

constexpr uint8_t kPad[15] = {0xBB, 0xFF, 0xFF, 0xBA, 0xFF, 0xFF, 0xB9, 0x80, 0x00, 0xBE, 0x0F, 0x00, 0xBF, 0x0F, 0x00};

constexpr uint16_t kInitialCode[15] = {0xE1F0, 0x1D0F, 0xCC9C, 0x84C0, 0x110C, 0x0E10, 0xF1CE, 0x313E,
                                       0x1872, 0xE139, 0xD40F, 0x84F9, 0x280C, 0xA96A, 0x4EC3};

// Seven entries per password position, the last position first.
constexpr uint16_t kXorMatrix[105] = {
    0xAEFC, 0x4DD9, 0x9BB2, 0x2745, 0x4E8A, 0x9D14, 0x2A09, 0x7B61, 0xF6C2, 0xFDA5, 0xEB6B, 0xC6F7, 0x9DCF, 0x2BBF,
    0x4563, 0x8AC6, 0x05AD, 0x0B5A, 0x16B4, 0x2D68, 0x5AD0, 0x0375, 0x06EA, 0x0DD4, 0x1BA8, 0x3750, 0x6EA0, 0xDD40,
    0xD849, 0xA0B3, 0x5147, 0xA28E, 0x553D, 0xAA7A, 0x44D5, 0x6F45, 0xDE8A, 0xAD35, 0x4A4B, 0x9496, 0x390D, 0x721A,
    0xEB23, 0xC667, 0x9CEF, 0x29FF, 0x53FE, 0xA7FC, 0x5FD9, 0x47D3, 0x8FA6, 0x0F6D, 0x1EDA, 0x3DB4, 0x7B68, 0xF6D0,
    0xB861, 0x60E3, 0xC1C6, 0x93AD, 0x377B, 0x6EF6, 0xDDEC, 0x45A0, 0x8B40, 0x06A1, 0x0D42, 0x1A84, 0x3508, 0x6A10,
    0xAA51, 0x4483, 0x8906, 0x022D, 0x045A, 0x08B4, 0x1168, 0x76B4, 0xED68, 0xCAF1, 0x85C3, 0x1BA7, 0x374E, 0x6E9C,
    0x3730, 0x6E60, 0xDCC0, 0xA9A1, 0x4363, 0x86C6, 0x1DAD, 0x3331, 0x6662, 0xCCC4, 0x89A9, 0x0373, 0x06E6, 0x0DCC,
    0x1021, 0x2042, 0x4084, 0x8108, 0x1231, 0x2462, 0x48C4};

uint8_t rotateRight1(uint8_t b) { return static_cast<uint8_t>((b >> 1) | (b << 7)); }
uint8_t xorRor(uint8_t a, uint8_t b) { return rotateRight1(static_cast<uint8_t>(a ^ b)); }

}  // namespace

std::string xorPasswordBytes(const std::u16string& password) {
  std::string out;
  for (char16_t c : password) {
    if (out.size() == 15) break;
    const uint8_t low = static_cast<uint8_t>(c & 0xFF);
    out.push_back(static_cast<char>(low != 0 ? low : static_cast<uint8_t>(c >> 8)));
  }
  return out;
}

uint16_t xorPasswordVerifier(const std::string& passwordBytes) {
  // The bytes are taken from the last to the first, then the length.
  uint16_t verifier = 0;
  auto step = [&](uint8_t byte) {
    const uint16_t carry = (verifier & 0x4000) ? 1 : 0;
    verifier = static_cast<uint16_t>((((verifier << 1) & 0x7FFF) | carry) ^ byte);
  };
  for (auto it = passwordBytes.rbegin(); it != passwordBytes.rend(); ++it) step(static_cast<uint8_t>(*it));
  step(static_cast<uint8_t>(passwordBytes.size()));
  return static_cast<uint16_t>(verifier ^ 0xCE4B);
}

uint16_t xorKey(const std::string& passwordBytes) {
  const std::size_t n = passwordBytes.size();
  uint16_t key = kInitialCode[n - 1];
  std::size_t element = 0x68;
  for (std::size_t i = n; i-- > 0;) {
    uint8_t c = static_cast<uint8_t>(passwordBytes[i]);
    for (int bit = 0; bit < 7; ++bit) {
      if (c & 0x40) key ^= kXorMatrix[element];
      c = static_cast<uint8_t>(c << 1);
      --element;
    }
  }
  return key;
}

std::array<uint8_t, 16> xorArray(const std::string& passwordBytes) {
  const uint16_t key = xorKey(passwordBytes);
  const uint8_t high = static_cast<uint8_t>(key >> 8), low = static_cast<uint8_t>(key & 0xFF);
  const std::size_t n = passwordBytes.size();
  auto pw = [&](std::size_t i) { return static_cast<uint8_t>(passwordBytes[i]); };
  std::array<uint8_t, 16> out{};
  // The password's bytes, in pairs from the end; an odd one out pairs with the first pad byte.
  std::size_t index = n;
  if (index % 2 == 1) {
    out[index] = xorRor(kPad[0], high);
    --index;
    out[index] = xorRor(pw(n - 1), low);
  }
  while (index > 0) {
    --index;
    out[index] = xorRor(pw(index), high);
    --index;
    out[index] = xorRor(pw(index), low);
  }
  // Then the pad bytes fill the array from its end.
  index = 15;
  int pad = 15 - static_cast<int>(n);  // goes below zero when n is even
  while (pad > 0) {
    out[index] = xorRor(kPad[pad], high);
    --index;
    --pad;
    out[index] = xorRor(kPad[pad], low);
    --index;
    --pad;
  }
  return out;
}

void xorDeobfuscate(const std::array<uint8_t, 16>& array, uint8_t* data, std::size_t size, std::size_t streamOffset,
                    std::size_t recordSize) {
  std::size_t index = (streamOffset + recordSize) % 16;
  for (std::size_t i = 0; i < size; ++i) {
    const uint8_t v = static_cast<uint8_t>(data[i] ^ array[index]);
    data[i] = static_cast<uint8_t>((v >> 5) | (v << 3));
    index = (index + 1) % 16;
  }
}

}  // namespace gz::sheet::crypto
