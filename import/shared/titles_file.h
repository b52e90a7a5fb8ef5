// Keeping the operator's other names for titles in titles.txt (beside the
// code file): the names chosen when a roster's titles were mapped are added
// as lines 标题=别名, so that the next roster of that form is recognised by
// itself. The file stays the operator's own: its lines, comments, order and
// encoding are kept, and the new lines come at its end.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "import/shared/title_mapping.h"

namespace gz::imp {

struct TitlesText {
  std::string bytes;               // the file's new content
  std::vector<TitleAlias> added;   // the aliases it did not have yet
};
// The content of titles.txt (`fileBytes`, empty for a new file) with the
// aliases it lacks added as lines at its end: in UTF-8 when the file is
// UTF-8, else GB 18030, and with CR LF line breaks unless the file has LF
// ones only. The bytes before them stay as they are.
TitlesText titlesTextWith(std::string_view fileBytes, const std::vector<TitleAlias>& aliases);

// Adds the aliases to the file at `path`, made when missing. The file is
// replaced only once its new content is written in full beside it. Returns
// the aliases added. Throws codes::DmFileError when it cannot be read or
// written.
std::vector<TitleAlias> saveTitleAliases(const std::filesystem::path& path, const std::vector<TitleAlias>& aliases);

}  // namespace gz::imp
