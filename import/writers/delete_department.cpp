#include "import/writers/delete_department.h"

#include "db/connection.h"
#include "db/payroll/dialect.h"
#include "import/shared/frontend.h"

namespace gz::imp {

void DeleteDepartmentPeople(db::Connection& conn, Frontend& frontend, std::string_view deptCode) {
  frontend.deletingDepartment();
  frontend.processEvents();
  for (const db::Statement& s : db::dialectOf(conn).deleteDepartmentPeople(deptCode)) conn.execute(s);
}

}  // namespace gz::imp
