#include "sheet/shared/compound_file.h"

#include <gsf/gsf.h>

#include <cstring>

#include "sheet/model/read_error.h"
#include "sheet/shared/gsf_handles.h"

namespace gz::sheet {
namespace {

constexpr const char* kBadContainer = "文件已损坏(复合文件结构无效)";

}  // namespace

bool hasCompoundFileSignature(const uint8_t* data, std::size_t size) {
  static const uint8_t kSignature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
  return size >= sizeof kSignature && std::memcmp(data, kSignature, sizeof kSignature) == 0;
}

CompoundFile::CompoundFile(const uint8_t* data, std::size_t size) : fileSize_(size) {
  if (!hasCompoundFileSignature(data, size)) throw ReadError(kNotWorkbook, WorkbookFault::NotAWorkbook);
  ensureGsfInitialized();
  input_.reset(gsf_input_memory_new(data, static_cast<gsf_off_t>(size), FALSE));
  GErrorSlot error;
  if (input_) root_.reset(gsf_infile_msole_new(input_.get(), error.out()));
  if (!root_) throw ReadError(kBadContainer);
}

CompoundFile::~CompoundFile() = default;

int CompoundFile::find(const char* wanted) const {
  const int n = gsf_infile_num_children(root_.get());
  for (int i = 0; i < n; ++i) {
    const char* name = gsf_infile_name_by_index(root_.get(), i);
    if (name && g_ascii_strcasecmp(name, wanted) == 0) return i;
  }
  return -1;
}

bool CompoundFile::has(const char* name) const { return find(name) >= 0; }

std::vector<uint8_t> CompoundFile::read(const char* name) const {
  const int index = find(name);
  if (index < 0) throw ReadError(kNotWorkbook, WorkbookFault::NotAWorkbook);
  GsfPtr<GsfInput> stream(gsf_infile_child_by_index(root_.get(), index));
  if (!stream) throw ReadError(kBadContainer);
  const gsf_off_t length = gsf_input_size(stream.get());
  // A stream cannot be longer than the file that holds it; checking this
  // before allocating keeps a forged length from reserving memory.
  if (length <= 0) throw ReadError(kNotWorkbook, WorkbookFault::NotAWorkbook);
  if (static_cast<uint64_t>(length) > fileSize_) throw ReadError("文件已损坏(流长度无效)");
  std::vector<uint8_t> bytes(static_cast<std::size_t>(length));
  if (!gsf_input_read(stream.get(), bytes.size(), bytes.data())) throw ReadError("文件已损坏(流读取失败)");
  return bytes;
}

}  // namespace gz::sheet
