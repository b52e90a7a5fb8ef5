// The programs' version, for --version and the package.
#pragma once

#include <QString>

namespace gz::app {

// The project's version, followed by the source revision when the programs
// were built from a git checkout: "0.1" or "0.1 (git 1a2b3c4d5e)", with
// "-dirty" after the revision when the checkout had uncommitted changes.
QString versionText();

}  // namespace gz::app
