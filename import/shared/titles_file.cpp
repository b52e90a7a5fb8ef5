#include "import/shared/titles_file.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <system_error>

#include "codes/dm_file.h"
#include "codes/dm_text.h"
#include "text/bytes.h"
#include "text/gb18030.h"

namespace gz::imp {
namespace {

std::string pathText(const std::filesystem::path& path) {
  const std::u8string u8 = path.u8string();
  return {u8.begin(), u8.end()};
}

// The aliases a file's lines hold already, compared as the loader reads them.
bool fileHas(const std::vector<std::string>& lines, const TitleAlias& alias) {
  return std::any_of(lines.begin(), lines.end(), [&alias](const std::string& line) {
    const std::size_t eq = line.find('=');
    if (eq == std::string::npos) return false;
    const std::string_view view(line);
    return text::trim(view.substr(0, eq)) == alias.field && foldTitle(view.substr(eq + 1)) == alias.other;
  });
}

std::string readExisting(const std::filesystem::path& path) {
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) return {};
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  if (in) bytes << in.rdbuf();
  if (!in || in.bad()) throw codes::DmFileError("无法读取标题文件 " + pathText(path), path);
  return std::move(bytes).str();
}

}  // namespace

TitlesText titlesTextWith(std::string_view fileBytes, const std::vector<TitleAlias>& aliases) {
  const codes::DmText content = codes::decodeDmBytes(fileBytes);
  const std::vector<std::string> lines = text::splitLines(content.text);
  const bool lfOnly =
      fileBytes.find('\n') != std::string_view::npos && fileBytes.find("\r\n") == std::string_view::npos;
  const std::string_view lineBreak = lfOnly ? "\n" : "\r\n";
  TitlesText out{std::string(fileBytes), {}};
  for (const TitleAlias& alias : aliases) {
    const bool already =
        fileHas(lines, alias) || std::find(out.added.begin(), out.added.end(), alias) != out.added.end();
    if (!already) out.added.push_back(alias);
  }
  if (out.added.empty()) return out;
  if (!out.bytes.empty() && out.bytes.back() != '\n' && out.bytes.back() != '\r') out.bytes.append(lineBreak);
  for (const TitleAlias& alias : out.added) {
    const std::string line = alias.field + "=" + alias.other;
    out.bytes.append(content.fromUtf8 ? text::gb18030ToUtf8(line) : line).append(lineBreak);
  }
  return out;
}

std::vector<TitleAlias> saveTitleAliases(const std::filesystem::path& path, const std::vector<TitleAlias>& aliases) {
  TitlesText updated = titlesTextWith(readExisting(path), aliases);
  if (updated.added.empty()) return {};
  std::filesystem::path written = path;
  written += ".new";
  {
    std::ofstream out(written, std::ios::binary | std::ios::trunc);
    out << updated.bytes;
    out.close();
    if (!out) {
      std::error_code ignored;
      std::filesystem::remove(written, ignored);
      throw codes::DmFileError("无法写入标题文件 " + pathText(path), path);
    }
  }
  std::error_code ec;
  std::filesystem::rename(written, path, ec);
  if (ec) {
    std::filesystem::remove(written, ec);
    throw codes::DmFileError("无法写入标题文件 " + pathText(path), path);
  }
  return std::move(updated.added);
}

}  // namespace gz::imp
