// Titles as people write them: the folding that lets "姓 名", a title broken
// over two lines in its cell or one in full-width letters count as the title
// the import reads, and the other names under which sheets carry a title
// (a built-in list, and the operator's own in titles.txt beside dm.txt).
// Used only to find a header that row 1 does not hold as the import reads it.
#pragma once

#include <cstddef>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "codes/code_map.h"

namespace gz::imp {

// `gbk` without blanks (ASCII blank and tab, the full-width blank, the
// no-break space) and line breaks, with full-width digits, letters and
// brackets as their ASCII forms.
std::string foldTitle(std::string_view gbk);

// The operator's file of other names, read from the folder of the code file.
inline constexpr std::string_view kTitlesFileName = "titles.txt";

// How a title of the sheet was recognised.
enum class TitleMatch {
  Exact,      // byte for byte
  Form,       // after folding
  OtherName,  // as another name for the title
};

struct RecognisedTitle {
  std::string_view title;  // one of the titles a step reads (import/shared/texts.h)
  TitleMatch match;
  bool operatorsName = false;  // another name the operator gave (titles.txt), not a built-in one
};

class TitleNames {
 public:
  TitleNames();  // the titles the steps read and the built-in other names
  // `other` (GB 18030) stands for `title` from now on, as the operator's own name for it.
  void add(std::string_view title, std::string_view other);
  // What a title cell stands for: the title itself, when the import reads
  // it, first, then the titles it is another name of. None for a title no
  // step reads.
  std::vector<RecognisedTitle> recognise(std::string_view asRead) const;

 private:
  std::map<std::string, std::string_view, codes::ByteOrder> forms_;  // folded title -> title
  struct Other {
    std::string title;
    bool operatorsName = false;
  };
  std::multimap<std::string, Other, codes::ByteOrder> others_;  // folded other name -> title
};

// Adds the lines "标题=别名" of the file at `path` to `names`; GB 18030, or
// UTF-8 as the code file may be. A missing file adds nothing. Returns the
// 1-based lines not used because they hold bytes that are no character.
// Throws codes::DmFileError when the file exists but cannot be read.
std::vector<std::size_t> loadTitlesFile(TitleNames& names, const std::filesystem::path& path);

}  // namespace gz::imp
