// The workbook globals: the part of the stream before the first sheet, which
// lists the sheets and holds the settings, formats and shared strings that
// the sheets' cells refer to.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sheet/xls/biff_records.h"
#include "sheet/xls/biff_sst.h"

namespace gz::sheet {

enum class SheetKind : uint8_t { Worksheet, MacroSheet, Chart, Module, Other };

struct SheetEntry {
  std::string name;          // GB 18030
  uint32_t streamOffset = 0;  // of the sheet's BOF record
  SheetKind kind = SheetKind::Worksheet;
};

struct WorkbookGlobals {
  bool biff8 = true;
  int codePage = 1252;
  bool codePageKnown = true;
  bool date1904 = false;
  std::vector<SheetEntry> sheets;
  int activeTab = 0;             // index into `sheets` as stored; may be out of range
  std::vector<bool> xfIsDate;    // by XF index: the cell format shows a date or time
  biff::SharedStrings sst;       // refers into the stream
};

// Reads the globals from the start of `stream`, which must outlive them. `bookStream` tells that the
// stream was named "Book", which decides the version when the BOF does not.
// Throws ReadError for a stream that is not a BIFF5/BIFF8 workbook or is
// damaged. An encrypted stream must be decrypted first (sheet/xls/xls_decrypt.h).
WorkbookGlobals readGlobals(biff::Bytes stream, bool bookStream);

}  // namespace gz::sheet
