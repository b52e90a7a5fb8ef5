// The failure a reader meets below the level where the file's name is known
// (in a container, a record stream, a decryption scheme), for every form.
//
// what() is the operator's sentence without the file name (UTF-8); the
// reader's entry point appends the name and rethrows it as a WorkbookError.
#pragma once

#include <stdexcept>

#include "sheet/model/workbook_error.h"

namespace gz::sheet {

class ReadError : public std::runtime_error {
 public:
  // Most failures inside a stream are damage; the others name their fault.
  explicit ReadError(const char* reason, WorkbookFault fault = WorkbookFault::Damaged)
      : std::runtime_error(reason), fault_(fault) {}
  explicit ReadError(const std::string& reason, WorkbookFault fault = WorkbookFault::Damaged)
      : std::runtime_error(reason), fault_(fault) {}
  WorkbookFault fault() const { return fault_; }

 private:
  WorkbookFault fault_;
};

// The sentences used in more than one place.
inline constexpr const char* kNotWorkbook = "不是Excel工作簿";
inline constexpr const char* kEncrypted = "工作簿有打开密码";
inline constexpr const char* kWrongPassword = "密码不正确";
inline constexpr const char* kDamagedEncryption = "文件已损坏(加密信息无效)";
inline constexpr const char* kTruncatedPackage = "文件已损坏(加密数据不完整)";
inline constexpr const char* kPackageIntegrity = "文件已损坏(加密数据校验失败)";
inline constexpr const char* kUnsupportedEncryption = "不支持此加密方式";
inline constexpr const char* kRecordOutOfBounds = "文件已损坏(记录越界)";
inline constexpr const char* kRecordTooShort = "文件已损坏(记录不完整)";

}  // namespace gz::sheet
