#include "cli/open_work_database.h"

#include "db/payroll/schema.h"

namespace gz::cli {

std::unique_ptr<db::Connection> openWorkDatabase(const QString& target, db::SchemaUse use) {
  auto connection = db::openDatabase(target.toStdString());
  db::requireSchema(*connection, use);
  return connection;
}

}  // namespace gz::cli
