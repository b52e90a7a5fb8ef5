// The zip package of an .xlsx workbook: its parts by name, read whole or streamed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

typedef struct _GsfInfile GsfInfile;
typedef struct _GsfInput GsfInput;

namespace gz::sheet {

// One part opened for reading. Closing is done by the destructor.
class XlsxPart {
 public:
  explicit XlsxPart(GsfInput* input) : input_(input) {}
  XlsxPart(XlsxPart&& other) noexcept : input_(other.input_), bytesRead_(other.bytesRead_), tooLarge_(other.tooLarge_) {
    other.input_ = nullptr;
  }
  XlsxPart(const XlsxPart&) = delete;
  XlsxPart& operator=(const XlsxPart&) = delete;
  ~XlsxPart();

  // Up to `len` bytes into `buffer`; 0 at the end, -1 when the data is corrupt
  // or the part grows beyond kMaxPartBytes.
  int read(char* buffer, int len);
  bool tooLarge() const { return tooLarge_; }

  // No sheet a reader accepts comes near this; a zip bomb stops here.
  static constexpr std::size_t kMaxPartBytes = std::size_t{1} << 30;

 private:
  GsfInput* input_;
  std::size_t bytesRead_ = 0;
  bool tooLarge_ = false;
};

class XlsxPackage {
 public:
  // Throws WorkbookError when `data` is not a readable zip archive. `data`
  // must outlive the package.
  XlsxPackage(const unsigned char* data, std::size_t size, const std::string& name);
  XlsxPackage(const XlsxPackage&) = delete;
  XlsxPackage& operator=(const XlsxPackage&) = delete;
  ~XlsxPackage();

  // `path` is a part name without the leading "/" ("xl/workbook.xml"),
  // matched without regard to case as part names are. Empty when absent.
  bool has(std::string_view path) const;
  // Throws WorkbookError when the part is missing.
  XlsxPart open(std::string_view path) const;

  // The part name a relationship target points at: `target` is either
  // absolute ("/xl/styles.xml") or relative to the folder of `sourcePart`.
  static std::string resolve(std::string_view sourcePart, std::string_view target);

  const std::string& name() const { return name_; }

 private:
  GsfInput* find(std::string_view path) const;

  GsfInput* source_ = nullptr;
  GsfInfile* zip_ = nullptr;
  std::string name_;
};

}  // namespace gz::sheet
