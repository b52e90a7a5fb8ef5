#include "app/version.h"

#include "app/revision.h"  // generated at each build: GZ_REVISION

namespace gz::app {

QString versionText() {
  const QString version = QStringLiteral(GZ_VERSION);
  const QString revision = QStringLiteral(GZ_REVISION);
  return revision.isEmpty() ? version : version + QStringLiteral(" (git ") + revision + QLatin1Char(')');
}

}  // namespace gz::app
