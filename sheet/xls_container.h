// The streams inside an .xls file (an OLE2 compound file).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

typedef struct _GsfInfile GsfInfile;
typedef struct _GsfInput GsfInput;

namespace gz::sheet {

struct WorkbookStream {
  std::vector<uint8_t> bytes;
  // True when the stream is the older "Book" (BIFF5) rather than "Workbook".
  bool bookStream = false;
};

// True when `data` starts with the compound file signature.
bool hasCompoundFileSignature(const uint8_t* data, std::size_t size);

// The root streams of a compound file held in memory, found by name without
// regard to case.
class CompoundFile {
 public:
  // Throws BiffError for data that is not a compound file or whose structure
  // is damaged. `data` must outlive the object.
  CompoundFile(const uint8_t* data, std::size_t size);
  ~CompoundFile();
  CompoundFile(const CompoundFile&) = delete;
  CompoundFile& operator=(const CompoundFile&) = delete;

  bool has(const char* name) const;
  // The whole stream; throws BiffError when it is missing, empty, longer
  // than the file or cannot be read.
  std::vector<uint8_t> read(const char* name) const;

 private:
  int find(const char* wanted) const;
  GsfInput* input_ = nullptr;
  GsfInfile* root_ = nullptr;
  std::size_t fileSize_ = 0;
};

// Reads the root stream named "Workbook", else "Book", in one piece. Throws
// BiffError for a compound file without a workbook stream (Encrypted when
// it holds an encrypted package instead), or a damaged one.
WorkbookStream extractWorkbookStream(const CompoundFile& file);
WorkbookStream extractWorkbookStream(const uint8_t* data, std::size_t size);

}  // namespace gz::sheet
