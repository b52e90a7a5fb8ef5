#include "db/payroll/dialect.h"

#include "db/payroll/jet_dialect.h"
#include "db/payroll/standard_dialect.h"

namespace gz::db {

const Dialect& dialectFor(DialectKind kind) {
  static const JetDialect jet;
  static const StandardDialect sqlite(DialectKind::Sqlite);
  static const StandardDialect postgres(DialectKind::Postgres);
  switch (kind) {
    case DialectKind::Jet: return jet;
    case DialectKind::Sqlite: return sqlite;
    case DialectKind::Postgres: break;
  }
  return postgres;
}

const Dialect& dialectOf(const Connection& c) {
  if (const auto* own = dynamic_cast<const DialectSource*>(&c)) return own->dialect();
  return dialectFor(c.dialectKind());
}

}  // namespace gz::db
