// Building .xlsx packages in memory for reader tests, so that each crafted
// case stays readable next to its test.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "sheet/model/workbook.h"

namespace gz::sheet::testing {

using Bytes = std::vector<unsigned char>;

// Part name -> content. Folders are created as needed.
Bytes makeZip(const std::map<std::string, std::string>& parts);

// A compound file with the given streams (name -> content), in memory.
Bytes makeCompoundFile(const std::map<std::string, std::string>& streams);

// The parts of a workbook with one worksheet whose <sheetData> holds
// `sheetData`; tests replace or add parts before zipping.
std::map<std::string, std::string> minimalParts(const std::string& sheetData);

// Sheet XML around a <sheetData> body.
std::string worksheetXml(const std::string& sheetData);

Bytes readFile(const std::string& path);
std::unique_ptr<Workbook> readXlsxBytes(const Bytes& bytes);
// The WorkbookError message, or "" when reading succeeded.
std::string xlsxError(const Bytes& bytes);

}  // namespace gz::sheet::testing
