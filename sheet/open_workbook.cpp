// openWorkbook(): reads the file once, recognises its format from the first
// bytes and hands the bytes to the matching reader.
#include <gsf/gsf-utils.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <new>
#include <vector>

#include "sheet/biff_error.h"
#include "sheet/readers.h"
#include "sheet/workbook.h"

namespace gz::sheet {

namespace {

constexpr unsigned char kOle2Magic[] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
constexpr unsigned char kZipMagic[] = {'P', 'K', 0x03, 0x04};

std::filesystem::path pathFromUtf8(const std::string& utf8) {
  // Through char8_t so that Windows does not read the bytes in its ANSI code page.
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

}  // namespace

void ensureGsfInitialized() {
  static std::once_flag once;
  std::call_once(once, [] { gsf_init(); });
}

std::unique_ptr<Workbook> readWorkbook(const unsigned char* data, std::size_t size, const std::string& name,
                                       const PasswordSource& ask) {
  try {
    if (size >= sizeof kOle2Magic && std::memcmp(data, kOle2Magic, sizeof kOle2Magic) == 0)
      return readXls(data, size, name, ask);
    if (size >= sizeof kZipMagic && std::memcmp(data, kZipMagic, sizeof kZipMagic) == 0)
      return readXlsx(data, size, name);
  } catch (const WorkbookError&) {
    throw;
  } catch (const std::bad_alloc&) {
    throw WorkbookError(WorkbookFault::Unreadable, "工作簿过大，内存不足", name);
  } catch (const std::exception& e) {
    // A reader fault must still reach the operator as one line about this file.
    throw WorkbookError(WorkbookFault::Damaged, "工作簿无法读取（" + std::string(e.what()) + "）", name);
  }
  throw WorkbookError(WorkbookFault::NotAWorkbook, kNotWorkbook, name);
}

std::unique_ptr<Workbook> openWorkbookAskingPassword(const std::string& pathUtf8, const PasswordSource& askPassword) {
  const std::filesystem::path path = pathFromUtf8(pathUtf8);
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) {
    if (std::filesystem::exists(path, ec)) throw WorkbookError(WorkbookFault::NotAWorkbook, "不是Excel工作簿", pathUtf8);
    throw WorkbookError(WorkbookFault::Missing, "文件不存在", pathUtf8);
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) throw WorkbookError(WorkbookFault::Unreadable, "无法读取文件", pathUtf8);
  // One read into a buffer of the file's size: the whole file is needed, and
  // a growing buffer would hold up to twice that at its peak.
  const std::uintmax_t size = std::filesystem::file_size(path, ec);
  if (ec) throw WorkbookError(WorkbookFault::Unreadable, "无法读取文件", pathUtf8);
  std::vector<unsigned char> data;
  try {
    data.resize(static_cast<std::size_t>(size));
  } catch (const std::bad_alloc&) {
    throw WorkbookError(WorkbookFault::Unreadable, "文件过大,无法读取", pathUtf8);
  }
  in.read(reinterpret_cast<char*>(data.data()), static_cast<std::streamsize>(data.size()));
  if (in.gcount() != static_cast<std::streamsize>(data.size()))
    throw WorkbookError(WorkbookFault::Unreadable, "无法读取文件", pathUtf8);
  return readWorkbook(data.data(), data.size(), pathUtf8, askPassword);
}

std::unique_ptr<Workbook> openWorkbook(const std::string& pathUtf8) { return openWorkbookAskingPassword(pathUtf8, {}); }

}  // namespace gz::sheet
