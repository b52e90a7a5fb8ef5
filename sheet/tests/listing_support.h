// Comparing a sheet with a listing of what another reader found in the same
// file: "SHEET <name>", then one line per non-empty cell, "row,col KIND value"
// with KIND T (text), N (number), D (date-formatted number, 1900-based),
// B (boolean) or E (error code); text escaped (\n, \r, \t, \\), UTF-8.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "sheet/model/cell_value.h"
#include "sheet/model/workbook.h"

namespace gz::sheet::testing {

std::string escapedListingText(const std::string& s);
// The listing line of one cell (GB 18030 text).
std::string listingLine(uint32_t row, uint32_t col, const CellValue& v);
// The lines of a listing file, as GB 18030.
std::vector<std::string> readListing(const std::filesystem::path& file);

// Every way `book` differs from the listing: the sheet name, each listed
// cell whose line differs, and a cell count beyond the listed cells (UTF-8).
std::vector<std::string> differencesFromListing(const Workbook& book, const std::vector<std::string>& listing);

}  // namespace gz::sheet::testing
