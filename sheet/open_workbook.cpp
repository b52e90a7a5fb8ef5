// openWorkbook(): reads the file once, recognises its form from its bytes
// and hands them to the reader of that form.
#include <filesystem>
#include <fstream>
#include <new>
#include <vector>

#include "sheet/model/read_error.h"
#include "sheet/ods/ods_reader.h"
#include "sheet/open_workbook.h"
#include "sheet/shared/compound_file.h"
#include "sheet/text_forms/text_form_readers.h"
#include "sheet/workbook_form.h"
#include "sheet/xls/xls_reader.h"
#include "sheet/xlsx/xlsx_reader.h"

namespace gz::sheet {

namespace {

std::filesystem::path pathFromUtf8(const std::string& utf8) {
  // Through char8_t so that Windows does not read the bytes in its ANSI code page.
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

}  // namespace

std::unique_ptr<Workbook> readCompoundFile(const unsigned char* data, std::size_t size, const std::string& name,
                                           const PasswordSource& ask, const SheetRequest& request) {
  try {
    const CompoundFile file(data, size);
    // Newer workbooks saved with a password are compound files holding only
    // the encrypted package; it decrypts to an .xlsx package.
    if (!file.has("Workbook") && !file.has("Book") && file.has("EncryptedPackage")) {
      if (!file.has("EncryptionInfo")) throw ReadError(kDamagedEncryption);
      return readEncryptedXlsx(file.read("EncryptionInfo"), file.read("EncryptedPackage"), name, ask, request);
    }
    return readXls(file, name, ask, request);
  } catch (const ReadError& e) {
    throw WorkbookError(e.fault(), e.what(), name);
  }
}

std::unique_ptr<Workbook> readWorkbook(const unsigned char* data, std::size_t size, const std::string& name,
                                       const PasswordSource& ask, const SheetRequest& request) {
  try {
    switch (detectForm(data, size)) {
      case WorkbookForm::CompoundFile: return readCompoundFile(data, size, name, ask, request);
      case WorkbookForm::OfficeOpenXml: return readXlsx(data, size, name, request);
      case WorkbookForm::OpenDocument: return readOpenDocument(data, size, name, request);
      case WorkbookForm::BiffStream: return readXlsStream(data, size, false, name, ask, request);
      case WorkbookForm::OldBiffStream: return readOldXls(data, size, name, request);
      case WorkbookForm::XmlSpreadsheet: return readXmlSpreadsheet(data, size, name, request);
      case WorkbookForm::FlatOpenDocument: return readFlatOpenDocument(data, size, name, request);
      case WorkbookForm::HtmlPage: return readHtmlTable(data, size, name, request);
      case WorkbookForm::DelimitedText: return readDelimitedText(data, size, name, request);
      case WorkbookForm::Unknown: break;
    }
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

std::unique_ptr<Workbook> openWorkbookAskingPassword(const std::string& pathUtf8, const PasswordSource& askPassword,
                                                     const SheetRequest& request) {
  const std::filesystem::path path = pathFromUtf8(pathUtf8);
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) {
    if (std::filesystem::exists(path, ec))
      throw WorkbookError(WorkbookFault::NotAWorkbook, "不是Excel工作簿", pathUtf8);
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
  return readWorkbook(data.data(), data.size(), pathUtf8, askPassword, request);
}

std::unique_ptr<Workbook> openWorkbook(const std::string& pathUtf8) { return openWorkbookAskingPassword(pathUtf8, {}); }

}  // namespace gz::sheet
