#include "codes/dm_file.h"

#include <cerrno>
#include <fstream>
#include <system_error>

#include "codes/dm_text.h"

namespace gz::codes {

namespace {

std::string utf8Path(const std::filesystem::path& p) {
  const std::u8string u8 = p.u8string();
  return std::string(u8.begin(), u8.end());
}

[[noreturn]] void throwUnreadable(const std::filesystem::path& path, const std::string& reason) {
  std::string message = "无法读取代码文件 " + utf8Path(path);
  if (!reason.empty()) message += ": " + reason;
  throw DmFileError(message, path);
}

// The reason the C library gave for a failed open or read, if any.
std::string errnoReason(int err) { return err != 0 ? std::generic_category().message(err) : std::string(); }

std::string readWholeFile(const std::filesystem::path& path) {
  errno = 0;
  std::ifstream in(path, std::ios::binary);
  if (!in) throwUnreadable(path, errnoReason(errno));
  std::string bytes;
  char buffer[1 << 16];
  while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
    bytes.append(buffer, static_cast<std::size_t>(in.gcount()));
  }
  if (in.bad()) throwUnreadable(path, errnoReason(errno));
  return bytes;
}

}  // namespace

std::string dmUnreadableLine(std::size_t lineNumber) {
  // 代码文件dm.txt第 ... 行有无法识别的文字,未使用
  return "\xB4\xFA\xC2\xEB\xCE\xC4\xBC\xFE"
         "dm.txt"
         "\xB5\xDA" +
         std::to_string(lineNumber) +
         "\xD0\xD0\xD3\xD0\xCE\xDE\xB7\xA8\xCA\xB6\xB1\xF0\xB5\xC4\xCE\xC4\xD7\xD6,\xCE\xB4\xCA\xB9\xD3\xC3";
}

DmLoadOutcome loadDmFile(CodeMap& map, const std::filesystem::path& path, std::vector<DmEntry>* inFileOrder) {
  map.clear();
  DmLoadOutcome outcome;
  std::error_code ec;
  const auto status = std::filesystem::status(path, ec);
  if (!std::filesystem::exists(status) || std::filesystem::is_directory(status)) {
    // A status that cannot be taken at all (e.g. a folder on the way that
    // may not be searched) is an unreadable file, not a missing one.
    if (ec && ec != std::errc::no_such_file_or_directory && ec != std::errc::not_a_directory) {
      throwUnreadable(path, ec.message());
    }
    return outcome;
  }
  const DmText text = decodeDmBytes(readWholeFile(path));
  applyDmText(text.text, map, &outcome.unreadableLines, inFileOrder);
  outcome.status = DmLoadOutcome::Status::Loaded;
  outcome.entries = map.size();
  outcome.fromUtf8 = text.fromUtf8;
  return outcome;
}

}  // namespace gz::codes
