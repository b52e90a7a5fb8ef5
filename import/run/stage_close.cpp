#include "db/connection.h"
#include "import/run/run_stages.h"
#include "import/shared/frontend.h"
#include "import/shared/run_texts.h"
#include "import/shared/texts.h"
#include "import/writers/row_writer.h"
#include "text/gb18030.h"

namespace gz::imp {

void closeWriting(RowWriter& writer, ImportOutcome& out) {
  // Committed before the run reports, so no lock is held while a message box waits.
  writer.commit();
  out.personsStored = writer.personsCommitted();
  out.historyRowsStored = writer.historyRowsCommitted();
  out.personsUpdated = writer.personsUpdatedCommitted();
}

void closeAfterFailure(const std::exception& failure, RowWriter& writer, ImportOutcome& out) {
  std::string reason = text::utf8ToGb18030(failure.what());
  const auto* dbError = dynamic_cast<const db::DbError*>(&failure);
  out.end = RunEnd::Failed;
  if (dbError) out.dbFault = dbError->fault();
  if (dbError && (dbError->fault() == db::DbFault::Busy || dbError->fault() == db::DbFault::ConnectionLost)) {
    try {
      // A commit after a lock wait ran out could wait as long again: the open
      // batch goes. A lost connection may still take the finished rows (a
      // file that failed once); a server that is gone refuses them.
      if (dbError->fault() == db::DbFault::Busy) writer.rollback();
      else writer.salvage();
    } catch (const db::DbError&) {
      // The server has dropped the transaction with the connection.
    }
    out.personsStored = writer.personsCommitted();
    out.historyRowsStored = writer.historyRowsCommitted();
    out.personsUpdated = writer.personsUpdatedCommitted();
    // Our own sentence: the driver's words about a lock or a lost server say
    // nothing the operator can act on.
    out.message = dbError->fault() == db::DbFault::Busy
                      ? std::string(texts::kMsgBusyGaveUp)
                      : std::string(texts::kMsgConnectionLost) + text::utf8ToGb18030(writer.connection().describe());
    return;
  }
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
  out.personsStored = writer.personsCommitted();
  out.historyRowsStored = writer.historyRowsCommitted();
  out.personsUpdated = writer.personsUpdatedCommitted();
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
