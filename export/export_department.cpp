#include "export/export_department.h"

#include "export/department_rows.h"
#include "export/person_row.h"
#include "export/sheet_stream.h"

namespace gz::exp {
namespace {
constexpr std::string_view kSheetName = "\xC8\xCB\xD4\xB1";  // 人员
constexpr int kProgressEvery = 1000;
}  // namespace

ExportSummary exportDepartment(db::Connection& conn, CodeTexts& codes, const ExportRequest& request,
                               const ExportProgress& progress) {
  ExportSummary summary;
  SheetStream out(request.workbookPath, kSheetName);
  writeTitles(out, request.withBelow);
  DepartmentRows rows(conn, request.deptCode, request.withBelow);
  StoredPerson person;
  while (rows.next(person)) {
    if (!readsAsPerson(person)) {
      ++summary.peopleLeftOut;
      continue;
    }
    writePerson(person, codes, request.withBelow, out, summary);
    if (progress && summary.people % kProgressEvery == 0) progress(summary.people);
  }
  out.finish();
  return summary;
}

}  // namespace gz::exp
