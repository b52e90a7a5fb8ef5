#include "import/run/run_stages.h"
#include "import/shared/run_texts.h"
#include "sheet/model/workbook_error.h"

namespace gz::imp {

OpenedWorkbook openWorkbookFile(const std::string& pathUtf8, const WorkbookOpener& open) {
  OpenedWorkbook out;
  try {
    out.book = open(pathUtf8);
  } catch (const sheet::WorkbookError& e) {
    // The reason alone: the message names the file itself, once.
    out.failure = endedBeforeWriting(RunEnd::WorkbookUnreadable, unreadableWorkbookMessage(pathUtf8, e.reason()));
    out.failure.workbookFault = e.fault();
  }
  return out;
}

}  // namespace gz::imp
