// A zip package (the container of .xlsx and .ods workbooks): its parts by
// name, streamed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "sheet/shared/gsf_handles.h"

typedef struct _GsfInfile GsfInfile;
typedef struct _GsfInput GsfInput;

namespace gz::sheet {

// One part opened for reading, closed with the object.
class ZipPart {
 public:
  explicit ZipPart(GsfPtr<GsfInput> input) : input_(std::move(input)) {}

  // Up to `len` bytes into `buffer`; 0 at the end, -1 when the data is corrupt
  // or the part grows beyond kMaxPartBytes.
  int read(char* buffer, int len);
  bool tooLarge() const { return tooLarge_; }

  // No sheet a reader accepts comes near this; a zip bomb stops here.
  static constexpr std::size_t kMaxPartBytes = std::size_t{1} << 30;

 private:
  GsfPtr<GsfInput> input_;
  std::size_t bytesRead_ = 0;
  bool tooLarge_ = false;
};

class ZipPackage {
 public:
  // Throws WorkbookError when `data` is not a readable zip archive. `data`
  // must outlive the package.
  ZipPackage(const unsigned char* data, std::size_t size, const std::string& name);

  // `path` is a part name without the leading "/" ("xl/workbook.xml"),
  // matched without regard to case as part names are. Empty when absent.
  bool has(std::string_view path) const;
  // Throws WorkbookError when the part is missing.
  ZipPart open(std::string_view path) const;

  // The part name a relationship target points at: `target` is either
  // absolute ("/xl/styles.xml") or relative to the folder of `sourcePart`.
  static std::string resolve(std::string_view sourcePart, std::string_view target);

  const std::string& name() const { return name_; }

 private:
  GsfPtr<GsfInput> find(std::string_view path) const;

  GsfPtr<GsfInput> source_;
  GsfPtr<GsfInfile> zip_;
  std::string name_;
};

}  // namespace gz::sheet
