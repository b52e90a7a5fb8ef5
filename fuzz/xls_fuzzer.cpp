// Feeds arbitrary bytes to the .xls reader. Input starting with the compound
// file signature goes through the whole reader; anything else is taken as a
// bare workbook stream, so the record parser is reached without a container.
// Every outcome must be a workbook or a WorkbookError.
#include <cstddef>
#include <cstdint>

#include "fuzz/read_every_cell.h"
#include "sheet/model/workbook.h"
#include "sheet/open_workbook.h"
#include "sheet/shared/compound_file.h"
#include "sheet/xls/xls_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace gz::sheet;
  try {
    std::unique_ptr<Workbook> book;
    if (hasCompoundFileSignature(data, size)) {
      book = readCompoundFile(data, size, "fuzz.xls");
    } else {
      // The first byte chooses how an unversioned stream is taken.
      const bool bookStream = size > 0 && (data[0] & 1);
      book = readXlsStream(data, size, bookStream, "fuzz.xls");
    }
    gz::fuzz::readEveryCell(*book);
  } catch (const WorkbookError&) {
  }
  return 0;
}
