// What the header page of an Access file says about the file: its format,
// whether its pages are encoded or it is Office-encrypted, its code page and
// its database password. The header arrives decoded (the fixed RC4 mask over
// its middle removed); the password is then still XOR-masked on Jet 4 and ACE
// with the file's creation date, which is undone here.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace gz::migrate {

enum class JetVersion : uint8_t { Jet3, Jet4, Ace };

struct HeaderFacts {
  JetVersion version = JetVersion::Jet4;
  uint32_t encodingKey = 0;  // non-zero: the pages are RC4-encoded (Jet), or the file Office-encrypted (ACE)
  int codePage = 0;
  // The database password as the file keeps it, GB 18030; empty when the file has none.
  std::string password;
  // An .accdb whose pages are encrypted by Office: nothing in it can be read without its key.
  bool officeEncrypted() const { return version == JetVersion::Ace && encodingKey != 0; }
};

// The version byte of the header (0 Jet 3, 1 Jet 4, 2 and above ACE).
JetVersion jetVersionOf(uint8_t versionByte);

// Reads the facts from a decoded header page (at least its first 0x80
// bytes; a shorter one is no header). Returns false when it is none.
bool readHeaderFacts(std::string_view page, HeaderFacts& facts);

}  // namespace gz::migrate
