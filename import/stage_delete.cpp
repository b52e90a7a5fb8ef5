#include "import/delete_department.h"
#include "import/row_writer.h"
#include "import/run_stages.h"

namespace gz::imp {

void deleteEarlierPeople(RowWriter& writer, Frontend& frontend, std::string_view deptCode) {
  writer.openBatch();
  try {
    DeleteDepartmentPeople(writer.connection(), frontend, deptCode);
  } catch (...) {
    // Undone here, not left to the closing: a deletion stopped half way must
    // never be committed with the rows finished before a failure.
    writer.rollback();
    throw;
  }
}

}  // namespace gz::imp
