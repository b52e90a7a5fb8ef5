// What the steps of one data row stored: the person record and each history
// row the database accepted. Kept only for a run that fills the rows' results
// (import/reports/row_results.h), so that they show exactly what the run wrote.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "db/row.h"
#include "import/shared/frontend.h"

namespace gz::imp {

struct StoredHistoryLine {
  HistoryKind kind = HistoryKind::Education;
  std::string date;       // as stored: yyyy-m-d for education and position rows, the year for an assessment
  std::string name;       // GB 18030, the line's name as read
  std::string code;       // the code stored for it
  bool fullTime = false;  // education only: the study mode stored
};

struct StoredValues {
  db::Row person;                         // the columns the person step stored
  std::vector<StoredHistoryLine> history;  // in the order the steps stored them
  std::vector<StoredHistoryLine> linesWithoutCode;  // history lines not stored, their names without a code
};

}  // namespace gz::imp
