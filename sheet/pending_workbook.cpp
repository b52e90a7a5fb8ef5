#include "sheet/pending_workbook.h"

#include <filesystem>
#include <fstream>
#include <system_error>

#include "sheet/xlsx_writer.h"

namespace gz::sheet {
namespace {

namespace fs = std::filesystem;

fs::path pathOf(const std::string& utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }

[[noreturn]] void cannotCreate(const std::string& target) {
  throw WorkbookWriteError(WriteFault::CannotCreate, "不能创建工作簿: " + target);
}

}  // namespace

PendingWorkbook::PendingWorkbook(std::string targetUtf8) : target_(std::move(targetUtf8)), part_(target_ + ".part") {
  std::error_code ec;
  const fs::file_status st = fs::status(pathOf(target_), ec);
  if (fs::is_directory(st)) cannotCreate(target_);
  // A file the operator has made read-only is not replaced.
  if (fs::exists(st) && (st.permissions() & fs::perms::owner_write) == fs::perms::none) cannotCreate(target_);
  std::ofstream probe(pathOf(part_), std::ios::binary | std::ios::trunc);
  if (!probe) cannotCreate(target_);
}

PendingWorkbook::~PendingWorkbook() {
  if (committed_) return;
  std::error_code ignored;
  fs::remove(pathOf(part_), ignored);
}

void PendingWorkbook::commit() {
  std::error_code ec;
  fs::rename(pathOf(part_), pathOf(target_), ec);
  if (ec) throw WorkbookWriteError(WriteFault::Refused, "不能写入工作簿: " + target_ + ": " + ec.message());
  committed_ = true;
}

}  // namespace gz::sheet
