// Reading the cells of one sheet substream into SheetData.
#pragma once

#include "sheet/model/sheet_data.h"
#include "sheet/xls/biff_records.h"
#include "sheet/xls/xls_globals.h"

namespace gz::sheet {

// Reads the substream that starts at `sheet.streamOffset` up to its EOF;
// substreams nested in it (embedded charts) are skipped. Each shared string
// the sheet uses is added to `out` once. Dates get the flag of
// their cell format and are made 1900-based. Cells beyond the format's grid
// (65,536 x 256 in BIFF8, 16,384 x 256 in BIFF5) are ignored.
// Throws ReadError when the substream is damaged.
void readSheetCells(biff::Bytes stream, const SheetEntry& sheet, const WorkbookGlobals& globals, SheetData& out);

}  // namespace gz::sheet
