// libFuzzer target for the decryption of encrypted .xlsx packages, past the
// compound file: the input is the EncryptionInfo stream's length (4 bytes,
// little-endian), that stream, then the EncryptedPackage stream. Both are
// tried with the default password, and every outcome must be a workbook or
// a WorkbookError.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "sheet/shared/byte_order.h"
#include "sheet/xlsx/xlsx_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace gz::sheet;
  if (size < 4) return 0;
  const std::size_t infoSize = le32(data);
  if (infoSize > size - 4) return 0;
  const std::vector<uint8_t> info(data + 4, data + 4 + infoSize);
  const std::vector<uint8_t> package(data + 4 + infoSize, data + size);
  try {
    auto book = readEncryptedXlsx(info, package, "fuzz.xlsx", {});
    (void)book->sheet().cellCount();
  } catch (const WorkbookError&) {
  }
  return 0;
}
