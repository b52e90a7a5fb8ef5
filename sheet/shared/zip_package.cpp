#include "sheet/shared/zip_package.h"

#include <gsf/gsf-infile-zip.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-memory.h>
#include <gsf/gsf-input.h>

#include <algorithm>
#include <vector>

#include "sheet/model/workbook_error.h"

namespace gz::sheet {

namespace {

bool equalNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
           return lower(x) == lower(y);
         });
}

std::vector<std::string_view> splitPath(std::string_view path) {
  std::vector<std::string_view> parts;
  while (!path.empty()) {
    const std::size_t slash = path.find('/');
    const std::string_view piece = path.substr(0, slash);
    if (!piece.empty()) parts.push_back(piece);
    if (slash == std::string_view::npos) break;
    path.remove_prefix(slash + 1);
  }
  return parts;
}

}  // namespace

int ZipPart::read(char* buffer, int len) {
  const gsf_off_t remaining = gsf_input_remaining(input_.get());
  if (remaining <= 0 || len <= 0) return 0;
  const auto n = static_cast<std::size_t>(std::min<gsf_off_t>(remaining, len));
  if (bytesRead_ + n > kMaxPartBytes) {
    tooLarge_ = true;
    return -1;
  }
  if (!gsf_input_read(input_.get(), n, reinterpret_cast<guint8*>(buffer))) return -1;
  bytesRead_ += n;
  return static_cast<int>(n);
}

ZipPackage::ZipPackage(const unsigned char* data, std::size_t size, const std::string& name) : name_(name) {
  ensureGsfInitialized();
  source_.reset(gsf_input_memory_new(data, static_cast<gsf_off_t>(size), FALSE));
  GErrorSlot error;
  if (source_) zip_.reset(gsf_infile_zip_new(source_.get(), error.out()));
  if (!zip_) throw WorkbookError(WorkbookFault::Damaged, "工作簿已损坏或不完整，无法打开", name);
}

namespace {

// The child of `dir` whose name is `wanted` without regard to case; null when none.
GsfPtr<GsfInput> childNamed(GsfInfile* dir, std::string_view wanted) {
  const int n = gsf_infile_num_children(dir);
  for (int i = 0; i < n; ++i) {
    const char* childName = gsf_infile_name_by_index(dir, i);
    if (childName && equalNoCase(childName, wanted)) return GsfPtr<GsfInput>(gsf_infile_child_by_index(dir, i));
  }
  return nullptr;
}

bool isFolder(GsfInput* input) { return GSF_IS_INFILE(input) && gsf_infile_num_children(GSF_INFILE(input)) >= 0; }

}  // namespace

// Walks the folders one name at a time; gsf matches names exactly, part names
// are case-insensitive.
GsfPtr<GsfInput> ZipPackage::find(std::string_view path) const {
  const std::vector<std::string_view> parts = splitPath(path);
  if (parts.empty()) return nullptr;
  GsfPtr<GsfInput> folder;  // null while at the root
  for (std::size_t p = 0; p < parts.size(); ++p) {
    GsfPtr<GsfInput> child = childNamed(folder ? GSF_INFILE(folder.get()) : zip_.get(), parts[p]);
    if (!child) return nullptr;
    const bool last = p + 1 == parts.size();
    if (isFolder(child.get()) != !last) return nullptr;  // a part is no folder, and the path goes through folders
    if (last) return child;
    folder = std::move(child);
  }
  return nullptr;
}

bool ZipPackage::has(std::string_view path) const { return find(path) != nullptr; }

ZipPart ZipPackage::open(std::string_view path) const {
  GsfPtr<GsfInput> input = find(path);
  if (!input) throw WorkbookError(WorkbookFault::Damaged, "工作簿已损坏，缺少部件 " + std::string(path), name_);
  return ZipPart(std::move(input));
}

std::string ZipPackage::resolve(std::string_view sourcePart, std::string_view target) {
  std::vector<std::string_view> parts;
  if (target.empty() || target.front() != '/') {
    const std::size_t slash = sourcePart.rfind('/');
    if (slash != std::string_view::npos) parts = splitPath(sourcePart.substr(0, slash));
  }
  for (std::string_view piece : splitPath(target)) {
    if (piece == ".") continue;
    if (piece == "..") {
      if (!parts.empty()) parts.pop_back();
      continue;
    }
    parts.push_back(piece);
  }
  std::string out;
  for (std::string_view piece : parts) {
    if (!out.empty()) out += '/';
    out += piece;
  }
  return out;
}

}  // namespace gz::sheet
