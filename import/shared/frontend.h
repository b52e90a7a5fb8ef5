// What an import run tells whoever started it (the window, the command line,
// or a test that records it): what happened, in the order it happens. How it
// is shown, in which pane, box or stream, is the front end's business; the
// fixed texts for it are in import/shared/texts.h and import/shared/run_texts.h. Texts are
// GB 18030.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "import/shared/outcome.h"
#include "import/shared/title_mapping.h"
#include "import/shared/title_search.h"

namespace gz::imp {

class TypedDateCounter;

// Takes each data row's outcome as the run finishes the row.
class RowSink {
 public:
  virtual ~RowSink() = default;
  virtual void rowDone(const RowOutcome& row) = 0;
};

// The history cells whose lines are looked up in the code map.
enum class HistoryKind { Education, Position, Assessment };

// What a run waits for before it can write on.
enum class WaitCause {
  DatabaseBusy,    // another program holds a lock on the database
  OverlappingRun,  // another run into this department, or one above or below it
};

// What the steps of a data row tell as they go. A writer that settles rows
// later keeps these with the row and passes on only what holds for the
// row's final outcome.
class RowEvents {
 public:
  virtual ~RowEvents() = default;
  // The person of a data row is about to be read and stored.
  virtual void rowStarted(int32_t row, std::string_view personName) = 0;
  // A history line of the person names something without a code; that line
  // is not stored.
  virtual void lineWithoutCode(HistoryKind kind, std::string_view personName, std::string_view name) = 0;
};

class Frontend : public RowSink, public RowEvents {
 public:
  // A remark about the workbook, e.g. that its active tab was a chart and
  // the first worksheet is read instead.
  virtual void workbookNotice(std::string_view gbk) = 0;
  // Overwrite: the department's earlier people are about to be deleted.
  virtual void deletingDepartment() = 0;
  // A title of the first row is text the file holds malformed, so the
  // layout cannot be trusted (the run then ends as rejected).
  virtual void titleUnreadable(int32_t column) = 0;
  // The first row has the titles the import needs; the data rows follow.
  virtual void layoutAccepted() = 0;
  // Row 1 lacks a required title, but the header was found further down or
  // under other names (before anything is written). True to import by it.
  virtual bool titlesFound(const FoundHeader& header) = 0;
  // Whether the operator can choose the column of each field the import
  // reads (mapTitles): asked where the header lacks a required title, or has
  // one only under a name the tool guesses (出生日期 for 出生年月), instead of
  // the refusal or titlesFound().
  virtual bool mapsTitles() const { return false; }
  // Asks which column feeds each field (before anything is written): the
  // choice, or nullopt when the operator cancelled.
  virtual std::optional<TitleMapping> mapTitles(const TitleOffer&) { return std::nullopt; }
  // The run reads the sheet by the titles the operator chose (mapped, or
  // given ahead): where they are and the data rows, before anything is written.
  virtual void titlesMapped(const FoundHeader&) {}
  // The sheet read lacks a required title, and so does any header found in
  // it, but the other worksheet `sheet` has them (before anything is
  // written). True to read that sheet instead.
  virtual bool otherSheetHasTitles(const OtherSheet& sheet) = 0;
  // The rows among those the run read that the file marks hidden (by hand or
  // by a filter), in sheet order; they were imported like any other.
  virtual void hiddenRowsRead(const std::vector<int32_t>& rows) = 0;
  // The data rows end above `row`, a totals or signature line (its name cell
  // is `nameGbk`), which is not imported.
  virtual void dataEndedAt(int32_t row, std::string_view nameGbk) = 0;
  // After the rows: date cells read as a clerk typed them (1965.03 as March
  // 1965), counted per column.
  virtual void datesReadAsTyped(const TypedDateCounter& counted) = 0;
  // `done` of the sheet's `total` data rows (up to the first empty name) are handled.
  virtual void progress(int done, int total) = 0;
  // The run is over: the outcome says how it ended and what it stored.
  virtual void runEnded(const ImportOutcome& outcome) = 0;
  // The rows told so far are committed: a front end that holds its lines
  // back lets them out now, so what it has shown matches what is stored.
  virtual void batchCommitted() {}

  // Lets pending window events run: where a click on the abort button arrives.
  virtual void processEvents() = 0;
  // The abort request: cleared when a run starts, polled after each row.
  virtual void clearAbort() = 0;
  virtual bool abortRequested() = 0;

  // Append: people of the department already have the id card numbers of
  // these rows (in sheet order), before anything is written. The answer says
  // which rows are written; with SkipExisting the front end lists them.
  virtual DuplicateAnswer duplicatesFound(const std::vector<DuplicateRow>& rows) = 0;
  // The run has begun to wait, up to its limit; called once per wait. For
  // DatabaseBusy it comes from inside a database call: show it at once
  // without letting events run.
  virtual void waiting(WaitCause cause) = 0;
};

}  // namespace gz::imp
