// `gzimport export [--db DB] --dept CODE [--with-subdepartments] [--codes dm.txt] FILE.xlsx`:
// writes the people of a department with their history as a workbook in the
// layout `gzimport import` reads, then says what was written and what would
// not come back as stored.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <exception>
#include <optional>

#include "cli/command.h"
#include "cli/open_work_database.h"
#include "cli/options.h"
#include "codes/dm_file.h"
#include "export/export_department.h"
#include "sheet/xlsx_writer.h"
#include "tree/institutions.h"

namespace gz::cli {
namespace {

int runExport(const QStringList& args) {
  QCommandLineParser parser;
  parser.setApplicationDescription(QCoreApplication::translate(
      "gzimport",
      "Writes the people of a department, with their education, position and assessment history, as a workbook "
      "in the layout the import reads. Codes are written as their first text in the code file."));
  const QCommandLineOption dbOption = databaseOption();
  const QCommandLineOption deptOption(
      "dept", QCoreApplication::translate("gzimport", "The department, by its institution code (jgdm)."), "CODE");
  const QCommandLineOption belowOption(
      "with-subdepartments",
      QCoreApplication::translate("gzimport", "The people of every department below it too, with a 部门 column."));
  const QCommandLineOption codesOption(
      "codes", QCoreApplication::translate("gzimport", "The code file (default dm.txt in the working directory)."),
      "FILE", "dm.txt");
  parser.addOptions({dbOption, deptOption, belowOption, codesOption});
  parser.addPositionalArgument("FILE.xlsx", QCoreApplication::translate("gzimport", "The workbook to write."));
  if (const auto status = parseArguments(parser, args, 1)) return *status;
  if (!parser.isSet(deptOption))
    return usageError(QCoreApplication::translate("gzimport", "--dept CODE is required").toStdString(),
                      parser.helpText().toStdString());

  try {
    const exp::LoadedCodeTexts loaded = exp::loadCodeTexts(parser.value(codesOption).toStdU16String());
    exp::CodeTexts codes = loaded.texts;
    auto connection = openWorkDatabase(parser.value(dbOption), db::SchemaUse::Import);
    const std::optional<tree::JGData> department = findDepartmentByCode(*connection, parser.value(deptOption));
    if (!department) return fail("机构代码不存在: " + parser.value(deptOption).toStdString() + " (dm_jg 中没有此代码)");
    const exp::ExportRequest request{tree::departmentCode(*department), parser.isSet(belowOption),
                                     parser.positionalArguments().at(0).toStdString()};
    exp::ExportSummary summary = exp::exportDepartment(*connection, codes, request);
    summary.codeFileMissing = loaded.missing;
    for (const std::string& line : exp::summaryLines(summary, request.workbookPath)) printOut(line);
  } catch (const codes::DmFileError& e) {
    return fail(e.what());
  } catch (const std::exception& e) {
    return fail(e.what());
  }
  return kOk;
}

const CommandRegistration registration{
    {"export", QT_TRANSLATE_NOOP("gzimport", "Write a department's people as a workbook the import reads"), runExport}};

}  // namespace
}  // namespace gz::cli
