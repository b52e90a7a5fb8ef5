#include "sheet/xls_container.h"

#include <gsf/gsf.h>

#include <cstring>
#include <memory>

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

int findChild(GsfInfile* root, const char* wanted) {
  const int n = gsf_infile_num_children(root);
  for (int i = 0; i < n; ++i) {
    const char* name = gsf_infile_name_by_index(root, i);
    if (name && g_ascii_strcasecmp(name, wanted) == 0) return i;
  }
  return -1;
}

}  // namespace

bool hasCompoundFileSignature(const uint8_t* data, std::size_t size) {
  static const uint8_t kSignature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
  return size >= sizeof kSignature && std::memcmp(data, kSignature, sizeof kSignature) == 0;
}

WorkbookStream extractWorkbookStream(const uint8_t* data, std::size_t size) {
  if (!hasCompoundFileSignature(data, size)) throw BiffError(kNotWorkbook, WorkbookFault::NotAWorkbook);
  ensureGsfInitialized();

  GPtr<GsfInput> input(gsf_input_memory_new(data, static_cast<gsf_off_t>(size), FALSE));
  GError* error = nullptr;
  GPtr<GsfInfile> root(gsf_infile_msole_new(input.get(), &error));
  if (error) g_error_free(error);
  if (!root) throw BiffError("文件已损坏(复合文件结构无效)");

  WorkbookStream out;
  int index = findChild(root.get(), "Workbook");
  if (index < 0) {
    index = findChild(root.get(), "Book");
    out.bookStream = true;
  }
  if (index < 0) {
    // Newer workbooks saved with a password are compound files holding only
    // the encrypted package.
    if (findChild(root.get(), "EncryptedPackage") >= 0) throw BiffError(kEncrypted, WorkbookFault::Encrypted);
    throw BiffError(kNotWorkbook, WorkbookFault::NotAWorkbook);
  }

  GPtr<GsfInput> stream(gsf_infile_child_by_index(root.get(), index));
  if (!stream) throw BiffError("文件已损坏(复合文件结构无效)");
  const gsf_off_t length = gsf_input_size(stream.get());
  // A stream cannot be longer than the file that holds it; checking this
  // before allocating keeps a forged length from reserving memory.
  if (length <= 0) throw BiffError(kNotWorkbook, WorkbookFault::NotAWorkbook);
  if (static_cast<uint64_t>(length) > size) throw BiffError("文件已损坏(流长度无效)");

  out.bytes.resize(static_cast<std::size_t>(length));
  if (!gsf_input_read(stream.get(), out.bytes.size(), out.bytes.data()))
    throw BiffError("文件已损坏(流读取失败)");
  return out;
}

}  // namespace gz::sheet
