// One stored person as a sheet row in the layout the import reads: every
// value written as the import reads it back (codes as their texts, the
// seniority months with the import's sign, the college months as Y.MM, the
// history rows as the lines of their cells), and each value the import would
// not store as it is counted against its column.
#pragma once

#include "export/code_texts.h"
#include "export/department_rows.h"
#include "export/export_summary.h"
#include "export/sheet_stream.h"

namespace gz::exp {

// The title row.
void writeTitles(SheetStream& out, bool withDepartment);

// False for a person the import would not read as one (an empty name, or a
// name and an empty birth date that read as a totals or signature line):
// such a person is left out, since the import would end its data there.
bool readsAsPerson(const StoredPerson& p);

// Writes `p` as the next row and counts into `summary`.
void writePerson(const StoredPerson& p, CodeTexts& codes, bool withDepartment, SheetStream& out,
                 ExportSummary& summary);

}  // namespace gz::exp
