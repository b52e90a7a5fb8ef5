// openWorkbook(): reads the file once, recognises its format from the first
// bytes and hands the bytes to the matching reader.
#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-memory.h>
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

bool startsWith(const std::vector<unsigned char>& data, const unsigned char* magic, std::size_t n) {
  return data.size() >= n && std::memcmp(data.data(), magic, n) == 0;
}

std::filesystem::path pathFromUtf8(const std::string& utf8) {
  // Through char8_t so that Windows does not read the bytes in its ANSI code page.
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

// A workbook saved with a password to open is a compound file holding an
// encrypted zip package; the .xls reader would only call it damaged.
bool isEncryptedPackage(const std::vector<unsigned char>& data) {
  ensureGsfInitialized();
  GsfInput* input = gsf_input_memory_new(data.data(), static_cast<gsf_off_t>(data.size()), FALSE);
  if (!input) return false;
  GError* err = nullptr;
  GsfInfile* ole = gsf_infile_msole_new(input, &err);
  if (err) g_error_free(err);
  bool encrypted = false;
  if (ole) {
    GsfInput* stream = gsf_infile_child_by_name(ole, "EncryptedPackage");
    encrypted = stream != nullptr;
    if (stream) g_object_unref(stream);
    g_object_unref(ole);
  }
  g_object_unref(input);
  return encrypted;
}

}  // namespace

void ensureGsfInitialized() {
  static std::once_flag once;
  std::call_once(once, [] { gsf_init(); });
}

std::unique_ptr<Workbook> openWorkbook(const std::string& pathUtf8) {
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

  try {
    if (startsWith(data, kOle2Magic, sizeof kOle2Magic)) {
      if (isEncryptedPackage(data)) throw WorkbookError(WorkbookFault::Encrypted, kEncrypted, pathUtf8);
      return readXls(data.data(), data.size(), pathUtf8);
    }
    if (startsWith(data, kZipMagic, sizeof kZipMagic)) return readXlsx(data.data(), data.size(), pathUtf8);
  } catch (const WorkbookError&) {
    throw;
  } catch (const std::bad_alloc&) {
    throw WorkbookError(WorkbookFault::Unreadable, "工作簿过大，内存不足", pathUtf8);
  } catch (const std::exception& e) {
    // A reader fault must still reach the operator as one line about this file.
    throw WorkbookError(WorkbookFault::Damaged, "工作簿无法读取（" + std::string(e.what()) + "）", pathUtf8);
  }
  throw WorkbookError(WorkbookFault::NotAWorkbook, kNotWorkbook, pathUtf8);
}

}  // namespace gz::sheet
