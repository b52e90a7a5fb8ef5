#include "db/connection.h"
#include "import/frontend.h"
#include "import/row_writer.h"
#include "import/run_stages.h"
#include "import/run_texts.h"
#include "text/gb18030.h"

namespace gz::imp {

void closeWriting(RowWriter& writer, ImportOutcome& out) {
  // Committed before the run reports, so no lock is held while a message box waits.
  writer.commit();
  out.personsStored = writer.personsCommitted();
  out.historyRowsStored = writer.historyRowsCommitted();
}

void closeAfterFailure(const std::exception& failure, RowWriter& writer, ImportOutcome& out) {
  std::string reason = text::utf8ToGb18030(failure.what());
  const auto* dbError = dynamic_cast<const db::DbError*>(&failure);
  bool finishedRowsKept = false;
  if (dbError && dbError->fault() == db::DbFault::TransactionLost) {
    writer.rollback();  // the database has thrown the open batch away itself
  } else {
    try {
      finishedRowsKept = writer.salvage();
    } catch (const std::exception& again) {
      reason.append("; ").append(text::utf8ToGb18030(again.what()));
    }
  }
  out.end = RunEnd::Failed;
  if (dbError) out.dbFault = dbError->fault();
  out.personsStored = writer.personsCommitted();
  out.historyRowsStored = writer.historyRowsCommitted();
  out.message = runFailedMessage(finishedRowsKept, reason);
}

ImportOutcome endedBeforeWriting(RunEnd end, std::string messageGbk) {
  ImportOutcome out;
  out.end = end;
  out.message = std::move(messageGbk);
  return out;
}

ImportOutcome reportRun(Frontend& frontend, ImportOutcome out) {
  frontend.runEnded(out);
  return out;
}

}  // namespace gz::imp
