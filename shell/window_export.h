// 导出…: the department selected in the tree written as a workbook in the
// layout the import reads, where the operator saves it; what was written and
// what would not come back is shown in the import pane.
#pragma once

class QPlainTextEdit;
class QWidget;

namespace gz::db {
class Connection;
}
namespace gz::tree {
struct JGData;
}

namespace gz::shell {

class MessageBoxes;

// Asks where to save (a file named for the department in the working
// directory is offered), then writes the department and, with `withBelow`,
// every department below it (as the grid shows them), with a 部门 column.
// The code file is dm.txt of the working directory, as for 导入. A failure
// is shown in a box and leaves no file.
void exportDepartmentClick(QWidget* window, MessageBoxes& boxes, db::Connection& conn, const tree::JGData& department,
                           bool withBelow, QPlainTextEdit& importPane);

}  // namespace gz::shell
