// openWorkbook(): reads the file once, recognises its form from its bytes
// and hands them to the reader of that form.
#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-memory.h>
#include <gsf/gsf-utils.h>

#include <filesystem>
#include <fstream>
#include <mutex>
#include <new>
#include <vector>

#include "sheet/biff_error.h"
#include "sheet/readers.h"
#include "sheet/workbook.h"
#include "sheet/workbook_form.h"
#include "sheet/xls_reader.h"

namespace gz::sheet {

namespace {

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
    const unsigned char* bytes = data.data();
    const std::size_t size = data.size();
    switch (detectForm(bytes, size)) {
      case WorkbookForm::CompoundFile:
        if (isEncryptedPackage(data)) throw WorkbookError(WorkbookFault::Encrypted, kEncrypted, pathUtf8);
        return readXls(bytes, size, pathUtf8);
      case WorkbookForm::OfficeOpenXml: return readXlsx(bytes, size, pathUtf8);
      case WorkbookForm::OpenDocument: return readOpenDocument(bytes, size, pathUtf8);
      case WorkbookForm::BiffStream: return readXlsStream(bytes, size, false, pathUtf8);
      case WorkbookForm::OldBiffStream: return readOldXls(bytes, size, pathUtf8);
      case WorkbookForm::XmlSpreadsheet: return readXmlSpreadsheet(bytes, size, pathUtf8);
      case WorkbookForm::FlatOpenDocument: return readFlatOpenDocument(bytes, size, pathUtf8);
      case WorkbookForm::HtmlPage: return readHtmlTable(bytes, size, pathUtf8);
      case WorkbookForm::DelimitedText: return readDelimitedText(bytes, size, pathUtf8);
      case WorkbookForm::Unknown: break;
    }
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
