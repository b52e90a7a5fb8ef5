// Failures found while reading a workbook stream.
//
// what() is the operator's sentence without the file name (UTF-8); readXls()
// appends the name and rethrows it as a WorkbookError.
#pragma once

#include <stdexcept>

namespace gz::sheet {

class BiffError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The sentences used in more than one place.
inline constexpr const char* kNotWorkbook = "不是Excel工作簿";
inline constexpr const char* kEncrypted = "工作簿已加密,无法读取";
inline constexpr const char* kRecordOutOfBounds = "文件已损坏(记录越界)";
inline constexpr const char* kRecordTooShort = "文件已损坏(记录不完整)";

}  // namespace gz::sheet
