#include "migrate/access_header.h"

#include <cstring>

#include "text/gb18030.h"

namespace gz::migrate {
namespace {

constexpr std::size_t kVersionOffset = 0x14;
constexpr std::size_t kCodePageOffset = 0x3c;
constexpr std::size_t kEncodingKeyOffset = 0x3e;
constexpr std::size_t kPasswordOffset = 0x42;
constexpr std::size_t kJet3PasswordBytes = 20;
constexpr std::size_t kJet4PasswordBytes = 40;  // 20 UTF-16 units
constexpr std::size_t kCreationDateOffset = 0x72;
constexpr std::size_t kHeaderBytes = 0x80;

uint32_t u32(std::string_view page, std::size_t at) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<uint8_t>(page[at + static_cast<std::size_t>(i)]);
  return v;
}

// Jet 4 and ACE mask the password with the whole days of the creation date, as
// four little-endian bytes.
std::string unmaskedPassword(std::string_view page) {
  double created = 0;
  std::memcpy(&created, page.data() + kCreationDateOffset, sizeof created);
  int32_t days = 0;
  if (created > -2147483648.0 && created < 2147483648.0) days = static_cast<int32_t>(created);
  uint8_t mask[4];
  for (int i = 0; i < 4; ++i) mask[i] = static_cast<uint8_t>(static_cast<uint32_t>(days) >> (8 * i));
  std::u16string units;
  for (std::size_t i = 0; i + 1 < kJet4PasswordBytes; i += 2) {
    const auto lo = static_cast<uint8_t>(static_cast<uint8_t>(page[kPasswordOffset + i]) ^ mask[i % 4]);
    const auto hi = static_cast<uint8_t>(static_cast<uint8_t>(page[kPasswordOffset + i + 1]) ^ mask[(i + 1) % 4]);
    const auto unit = static_cast<char16_t>(lo | (hi << 8));
    if (unit == 0) break;
    units.push_back(unit);
  }
  return text::utf16ToGb18030(units);
}

}  // namespace

JetVersion jetVersionOf(uint8_t versionByte) {
  if (versionByte == 0) return JetVersion::Jet3;
  return versionByte == 1 ? JetVersion::Jet4 : JetVersion::Ace;
}

bool readHeaderFacts(std::string_view page, HeaderFacts& facts) {
  if (page.size() < kHeaderBytes) return false;
  facts.version = jetVersionOf(static_cast<uint8_t>(page[kVersionOffset]));
  facts.codePage = static_cast<uint8_t>(page[kCodePageOffset]) | (static_cast<uint8_t>(page[kCodePageOffset + 1]) << 8);
  facts.encodingKey = u32(page, kEncodingKeyOffset);
  facts.password.clear();
  if (facts.officeEncrypted()) return true;  // the field holds no password then
  if (facts.version == JetVersion::Jet3) {
    std::string_view bytes = page.substr(kPasswordOffset, kJet3PasswordBytes);
    bytes = bytes.substr(0, bytes.find('\0'));
    text::codePageToGb18030(facts.codePage == 0 ? 1252 : facts.codePage, bytes, facts.password);
  } else {
    facts.password = unmaskedPassword(page);
  }
  return true;
}

}  // namespace gz::migrate
