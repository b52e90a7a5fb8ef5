#include "sheet/xls/workbook_stream.h"

#include "sheet/model/read_error.h"

namespace gz::sheet {

WorkbookStream extractWorkbookStream(const CompoundFile& file) {
  WorkbookStream out;
  if (file.has("Workbook")) {
    out.bytes = file.read("Workbook");
  } else if (file.has("Book")) {
    out.bytes = file.read("Book");
    out.bookStream = true;
  } else if (file.has("EncryptedPackage")) {
    // Newer workbooks saved with a password are compound files holding only
    // the encrypted package.
    throw ReadError(kEncrypted, WorkbookFault::Encrypted);
  } else {
    throw ReadError(kNotWorkbook, WorkbookFault::NotAWorkbook);
  }
  return out;
}

WorkbookStream extractWorkbookStream(const uint8_t* data, std::size_t size) {
  return extractWorkbookStream(CompoundFile(data, size));
}

}  // namespace gz::sheet
