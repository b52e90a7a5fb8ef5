// Opening a workbook of any form: the file is read once, its form recognised
// from its bytes and handed to the reader of that form.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "sheet/crypto/passwords.h"
#include "sheet/model/workbook.h"
#include "sheet/model/workbook_error.h"

namespace gz::sheet {

// Opens `path` (UTF-8 file name). The form comes from the file's bytes, never
// its name (sheet/workbook_form.h): .xls and WPS .et/.ett in a compound file
// (or, holding an encrypted package, the .xlsx reader after decryption),
// .xlsx and .xlsm, OpenDocument (.ods, .fods), Excel 2.x to 4.0 worksheets
// and bare BIFF5/8 streams, XML Spreadsheet 2003, a web page's first table,
// CSV and tab-separated text. An encrypted workbook opens when the default
// password opens it; otherwise the fault is Encrypted. Throws WorkbookError.
std::unique_ptr<Workbook> openWorkbook(const std::string& pathUtf8);
// The same, asking `askPassword` for the password of an encrypted workbook
// until it opens or `askPassword` gives up (then the fault is WrongPassword
// after a wrong password, else Encrypted). `request` picks another sheet
// than the active one (fault NoSuchSheet when the workbook has none such).
std::unique_ptr<Workbook> openWorkbookAskingPassword(const std::string& pathUtf8, const PasswordSource& askPassword,
                                                     const SheetRequest& request = {});

// Any form, by the bytes of a file already read. `name` is used in error
// messages and passed to `ask` only (the file name the operator chose).
// Throws WorkbookError; keeps no pointer to `data` after returning.
std::unique_ptr<Workbook> readWorkbook(const unsigned char* data, std::size_t size, const std::string& name,
                                       const PasswordSource& ask = {}, const SheetRequest& request = {});

// A compound file: an .xls workbook, or an .xlsx package encrypted inside one.
std::unique_ptr<Workbook> readCompoundFile(const unsigned char* data, std::size_t size, const std::string& name,
                                           const PasswordSource& ask = {}, const SheetRequest& request = {});

}  // namespace gz::sheet
