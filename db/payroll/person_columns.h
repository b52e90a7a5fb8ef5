// The person table ryjbxx: the columns the import writes, by their names in
// the database, the values every imported person gets, and the tables whose
// rows belong to a person.
#pragma once

#include <cstdint>
#include <string_view>

#include "db/connection.h"
#include "db/row.h"

namespace gz::db::person {

inline constexpr const char* kTable = "ryjbxx";
inline constexpr const char* kId = "id";  // an auto-number; the other tables' mid names it

inline constexpr const char* kDepartment = "bm";        // department code, a prefix of its sub-departments'
inline constexpr const char* kName = "xm";
inline constexpr const char* kSerial = "bh";
inline constexpr const char* kIdCard = "sfzh";
inline constexpr const char* kStatus = "grsf";          // personal status
inline constexpr const char* kSex = "xb";
inline constexpr const char* kEthnic = "mz";
inline constexpr const char* kBirth = "csny";
inline constexpr const char* kWorkStart = "gzsj";
inline constexpr const char* kHealth = "jkzk";
inline constexpr const char* kProbationMonths = "jxqyf";
inline constexpr const char* kSeniorityDeduction = "kjgl";  // months, stored negated
inline constexpr const char* kYearsNotCounted = "kjtgnf";
inline constexpr const char* kCollegeMonths = "dzysxl";     // college study not counted as service

// Every imported person starts with a twelve-month probation and the health code "10".
inline constexpr int64_t kNewPersonProbationMonths = 12;
inline constexpr std::string_view kNewPersonHealthCode = "10";

// The seven per-person tables, in the order the overwrite clears them.
inline constexpr const char* kPerPersonTables[] = {"ryrz", "rybdrz", "rykh", "ryxl", "ryjl", "ryjc", "rygzbhb"};

// The stored study mode of an education row, GB 18030: full-time or in service.
std::string_view studyModeText(bool fullTime);

}  // namespace gz::db::person

namespace gz::db {

// A new person row: columns set by name, then stored in one insert.
using PersonRecord = Row;

// Stores a person row and returns its new id. Throws DbError.
inline int64_t insertPerson(Connection& c, const PersonRecord& r) {
  return c.insertReturningKey(person::kTable, r, person::kId);
}

}  // namespace gz::db
