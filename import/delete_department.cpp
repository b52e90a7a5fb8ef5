#include "import/delete_department.h"

#include "db/connection.h"
#include "import/frontend.h"

namespace gz::imp {

void DeleteDepartmentPeople(db::Connection& conn, Frontend& frontend, std::string_view deptCode) {
  frontend.deletingDepartment();
  frontend.processEvents();
  for (const db::Statement& s : conn.dialect().deleteDepartmentPeople(deptCode)) conn.execute(s);
}

}  // namespace gz::imp
