// The people of a department with their education, position and assessment
// rows, read from the database a slice of people at a time (one query per
// table and slice), so that a department of any size is never held whole.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "db/connection.h"

namespace gz::exp {

struct EducationRow {
  db::Value mode, date, code, years;  // xxxs, xlrq, xldm, dzysxl
};
struct PositionRow {
  db::Value date, code, salaryCode;  // rzrq, rzzwdm, gzzwdm
};
struct AssessmentRow {
  db::Value year, result;  // khnd, khjg
};

// A person row as stored, the columns the import writes, with the person's
// history rows in date order.
struct StoredPerson {
  int64_t id = 0;
  db::Value department, name, serial, idCard, status, sex, ethnic, birth, workStart;
  db::Value seniority, deductYears, collegeMonths;  // kjgl, kjtgnf, dzysxl
  std::vector<EducationRow> education;
  std::vector<PositionRow> positions;
  std::vector<AssessmentRow> assessments;
};

class DepartmentRows {
 public:
  static constexpr int kPeoplePerSlice = 2000;

  // The people whose bm is `deptCode`, or with `withBelow` those of every
  // department below it too, in id order.
  DepartmentRows(db::Connection& conn, std::string deptCode, bool withBelow, int peoplePerSlice = kPeoplePerSlice);

  // The next person; false after the last. Throws db::DbError.
  bool next(StoredPerson& out);

 private:
  void readSlice();

  db::Connection& conn_;
  std::string deptCode_;
  bool withBelow_;
  int peoplePerSlice_;
  int64_t afterId_ = 0;  // the last id read so far
  bool ended_ = false;
  std::deque<StoredPerson> slice_;
};

}  // namespace gz::exp
