#include "db/payroll/person_columns.h"

namespace gz::db::person {

std::string_view studyModeText(bool fullTime) {
  // "全日制" and "在职" in GBK.
  return fullTime ? std::string_view("\xC8\xAB\xC8\xD5\xD6\xC6") : std::string_view("\xD4\xDA\xD6\xB0");
}

}  // namespace gz::db::person
