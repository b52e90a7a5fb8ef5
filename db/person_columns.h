// The columns of the person table ryjbxx that the import writes, by their
// names in the database, and the values every imported person gets.
#pragma once

#include <cstdint>
#include <string_view>

namespace gz::db::person {

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

}  // namespace gz::db::person
