#include "sheet/xls_container.h"

#include <gsf/gsf.h>

#include <cstring>

#include "sheet/biff_error.h"
#include "sheet/readers.h"

namespace gz::sheet {
namespace {

struct GObjectUnref {
  void operator()(void* p) const {
    if (p) g_object_unref(p);
  }
};
template <typename T>
using GPtr = std::unique_ptr<T, GObjectUnref>;

constexpr const char* kBadContainer = "文件已损坏(复合文件结构无效)";

}  // namespace

bool hasCompoundFileSignature(const uint8_t* data, std::size_t size) {
  static const uint8_t kSignature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
  return size >= sizeof kSignature && std::memcmp(data, kSignature, sizeof kSignature) == 0;
}

CompoundFile::CompoundFile(const uint8_t* data, std::size_t size) : fileSize_(size) {
  if (!hasCompoundFileSignature(data, size)) throw BiffError(kNotWorkbook, WorkbookFault::NotAWorkbook);
  ensureGsfInitialized();
  input_ = gsf_input_memory_new(data, static_cast<gsf_off_t>(size), FALSE);
  GError* error = nullptr;
  if (input_) root_ = gsf_infile_msole_new(input_, &error);
  if (error) g_error_free(error);
  if (!root_) {
    if (input_) g_object_unref(input_);
    throw BiffError(kBadContainer);
  }
}

CompoundFile::~CompoundFile() {
  g_object_unref(root_);
  g_object_unref(input_);
}

int CompoundFile::find(const char* wanted) const {
  const int n = gsf_infile_num_children(root_);
  for (int i = 0; i < n; ++i) {
    const char* name = gsf_infile_name_by_index(root_, i);
    if (name && g_ascii_strcasecmp(name, wanted) == 0) return i;
  }
  return -1;
}

bool CompoundFile::has(const char* name) const { return find(name) >= 0; }

std::vector<uint8_t> CompoundFile::read(const char* name) const {
  const int index = find(name);
  if (index < 0) throw BiffError(kNotWorkbook, WorkbookFault::NotAWorkbook);
  GPtr<GsfInput> stream(gsf_infile_child_by_index(root_, index));
  if (!stream) throw BiffError(kBadContainer);
  const gsf_off_t length = gsf_input_size(stream.get());
  // A stream cannot be longer than the file that holds it; checking this
  // before allocating keeps a forged length from reserving memory.
  if (length <= 0) throw BiffError(kNotWorkbook, WorkbookFault::NotAWorkbook);
  if (static_cast<uint64_t>(length) > fileSize_) throw BiffError("文件已损坏(流长度无效)");
  std::vector<uint8_t> bytes(static_cast<std::size_t>(length));
  if (!gsf_input_read(stream.get(), bytes.size(), bytes.data())) throw BiffError("文件已损坏(流读取失败)");
  return bytes;
}

WorkbookStream extractWorkbookStream(const CompoundFile& file) {
  WorkbookStream out;
  if (file.has("Workbook")) {
    out.bytes = file.read("Workbook");
  } else if (file.has("Book")) {
    out.bytes = file.read("Book");
    out.bookStream = true;
  } else if (file.has("EncryptedPackage")) {
    // Newer workbooks saved with a password are compound files holding only
    // the encrypted package.
    throw BiffError(kEncrypted, WorkbookFault::Encrypted);
  } else {
    throw BiffError(kNotWorkbook, WorkbookFault::NotAWorkbook);
  }
  return out;
}

WorkbookStream extractWorkbookStream(const uint8_t* data, std::size_t size) {
  return extractWorkbookStream(CompoundFile(data, size));
}

}  // namespace gz::sheet
