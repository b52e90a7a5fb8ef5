#include "shell/window_export.h"

#include <QDir>
#include <QPlainTextEdit>
#include <exception>
#include <filesystem>

#include "codes/dm_file.h"
#include "export/export_department.h"
#include "shell/message_boxes.h"
#include "text/bytes.h"
#include "text/gb18030.h"
#include "tree/institutions.h"

namespace gz::shell {

void exportDepartmentClick(QWidget* window, MessageBoxes& boxes, db::Connection& conn, const tree::JGData& department,
                           bool withBelow, QPlainTextEdit& importPane) {
  const QString name = text::gb18030ToQString(text::trim(department.jgmc));
  const QString suggested = QDir::current().filePath((name.isEmpty() ? QStringLiteral("export") : name) + ".xlsx");
  const std::optional<QString> path = boxes.askExportPath(window, suggested);
  if (!path) return;
  const QString caption = QStringLiteral("导出");
  try {
    exp::LoadedCodeTexts codes = exp::loadCodeTexts(std::filesystem::path(codes::kDmFileName));
    const exp::ExportRequest request{tree::departmentCode(department), withBelow, path->toStdString()};
    importPane.appendPlainText(QStringLiteral("导出 ") + name + QStringLiteral(" 到 ") + *path);
    exp::ExportSummary summary = exp::exportDepartment(conn, codes.texts, request);
    summary.codeFileMissing = codes.missing;
    for (const std::string& line : exp::summaryLines(summary, request.workbookPath))
      importPane.appendPlainText(QString::fromStdString(line));
  } catch (const std::exception& e) {
    boxes.show(window, QString::fromUtf8(e.what()), caption, BoxIcon::Error);
  }
}

}  // namespace gz::shell
