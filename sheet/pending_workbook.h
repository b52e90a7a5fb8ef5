// A workbook written at the end of some work (an import's reports) whose
// place is made sure of before the work begins: a temporary file beside the
// target is created at once, so a folder that does not exist or cannot be
// written is found out before anything else is done. The workbook is written
// into that file, and commit() puts it in the target's place in one rename,
// so a failure never leaves half a workbook under the target's name.
#pragma once

#include <string>

namespace gz::sheet {

class PendingWorkbook {
 public:
  // Throws WorkbookWriteError (CannotCreate) when the temporary file cannot
  // be created, or the target is a folder or a file that may not be written.
  explicit PendingWorkbook(std::string targetUtf8);
  ~PendingWorkbook();  // removes the temporary file unless committed
  PendingWorkbook(const PendingWorkbook&) = delete;
  PendingWorkbook& operator=(const PendingWorkbook&) = delete;

  const std::string& target() const { return target_; }
  // Where to write the workbook (UTF-8).
  const std::string& partPath() const { return part_; }
  // Puts the written workbook in the target's place. Throws WorkbookWriteError.
  void commit();

 private:
  std::string target_;
  std::string part_;
  bool committed_ = false;
};

}  // namespace gz::sheet
