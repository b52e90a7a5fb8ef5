// XOR obfuscation, the oldest password scheme of .xls workbooks (BIFF5 and
// BIFF8): a 16-bit verifier of the password and a 16-byte array that the
// record data is XORed with.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace gz::sheet::crypto {

// The password as this scheme sees it: one byte per character (its low byte,
// or its high byte when the low one is zero), at most 15 of them.
std::string xorPasswordBytes(const std::u16string& password);

// The 16-bit verifier stored in the file for `passwordBytes`.
uint16_t xorPasswordVerifier(const std::string& passwordBytes);
// The obfuscation key, also stored in the file. `passwordBytes` must not be empty.
uint16_t xorKey(const std::string& passwordBytes);
// The array the data is XORed with. `passwordBytes` must not be empty.
std::array<uint8_t, 16> xorArray(const std::string& passwordBytes);

// Undoes the obfuscation of `size` bytes of one record's data in place.
// `streamOffset` is where data[0] sits in the workbook stream and
// `recordSize` the size of the whole record's data: together they choose
// where in the array each byte starts.
void xorDeobfuscate(const std::array<uint8_t, 16>& array, uint8_t* data, std::size_t size, std::size_t streamOffset,
                    std::size_t recordSize);

}  // namespace gz::sheet::crypto
