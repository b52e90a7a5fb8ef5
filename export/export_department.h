// Exporting a department: its people with their education, position and
// assessment rows, one row each, into a new workbook that the import reads
// back as they are stored.
#pragma once

#include <functional>
#include <string>

#include "db/connection.h"
#include "export/code_texts.h"
#include "export/export_summary.h"

namespace gz::exp {

struct ExportRequest {
  std::string deptCode;       // the department's code (trimmed jgdm)
  bool withBelow = false;     // the departments below it too, with a 部门 column
  std::string workbookPath;   // UTF-8; replaced only once the new file is complete
};

// Called after each slice of people written, with the count so far.
using ExportProgress = std::function<void(int people)>;

// Throws db::DbError or sheet::WorkbookWriteError; no file is left at the
// path (nor beside it) when it does.
ExportSummary exportDepartment(db::Connection& conn, CodeTexts& codes, const ExportRequest& request,
                               const ExportProgress& progress = {});

}  // namespace gz::exp
