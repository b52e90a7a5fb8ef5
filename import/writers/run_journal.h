// The journal a run writes ahead of each commit of the database, so that the
// run can be taken back whole, or for what it committed when it was killed.
// The writers tell it about each batch; the overwrite about the rows it
// deletes; the steps about each person they add or change.
#pragma once

#include <string_view>

#include "import/shared/change_observer.h"

namespace gz::imp {

class RunJournal : public ChangeObserver {
 public:
  // Inside the open batch, before the overwrite deletes the department's
  // people (every department whose code begins with `deptCode`).
  virtual void deletingDepartment(std::string_view deptCode) = 0;
  // Just before the database commits the open batch: what the batch did is
  // written down durably. Throws when it cannot be, and the batch must then
  // not be committed.
  virtual void beforeCommit() = 0;
  // The database committed the batch.
  virtual void committed() = 0;
  // The open batch was undone: what it did is forgotten.
  virtual void rolledBack() = 0;
  // With `on`, the writer keeps rows' statements and runs them only after
  // writesDue(): the people told as changing are read then, together,
  // instead of each at once. Off, each is read when told.
  virtual void deferChangeReads(bool on) = 0;
  // The statements kept so far are about to run.
  virtual void writesDue() = 0;
};

}  // namespace gz::imp
