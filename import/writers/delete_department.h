// Removing a department's people before their replacement is imported.
#pragma once

#include <string_view>

namespace gz::db {
class Connection;
}

namespace gz::imp {

class Frontend;

// Tells the front end that the deletion starts, lets pending events run, then
// detaches and deletes the rows of the seven per-person tables that belong to
// the department's people (every department whose code begins with
// `deptCode`), rows already detached included, and finally the people.
// Runs inside the caller's open transaction, so a refused statement (thrown
// as db::DbError) lets the caller undo the deletion as a whole.
void DeleteDepartmentPeople(db::Connection& conn, Frontend& frontend, std::string_view deptCode);

}  // namespace gz::imp
