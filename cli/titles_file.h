// The operator's other names for titles, from titles.txt in the folder of
// the code file, for the commands that look for a sheet's header.
#pragma once

#include <QString>
#include <optional>

#include "import/shared/title_names.h"

namespace gz::cli {

// Adds the names of titles.txt beside `codesPath` to `names`; lines of it
// that cannot be read are named on stderr. An exit status when the file
// exists but cannot be read.
std::optional<int> loadTitleNames(imp::TitleNames& names, const QString& codesPath);

}  // namespace gz::cli
