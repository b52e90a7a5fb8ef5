// A compound file (OLE2), the container of .xls workbooks and of encrypted
// .xlsx packages: its root streams by name.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "sheet/shared/gsf_handles.h"

typedef struct _GsfInfile GsfInfile;
typedef struct _GsfInput GsfInput;

namespace gz::sheet {

// True when `data` starts with the compound file signature.
bool hasCompoundFileSignature(const uint8_t* data, std::size_t size);

// The root streams of a compound file held in memory, found by name without
// regard to case.
class CompoundFile {
 public:
  // Throws ReadError for data that is not a compound file or whose structure
  // is damaged. `data` must outlive the object.
  CompoundFile(const uint8_t* data, std::size_t size);
  ~CompoundFile();
  CompoundFile(const CompoundFile&) = delete;
  CompoundFile& operator=(const CompoundFile&) = delete;

  bool has(const char* name) const;
  // The whole stream; throws ReadError when it is missing, empty, longer
  // than the file or cannot be read.
  std::vector<uint8_t> read(const char* name) const;

 private:
  int find(const char* wanted) const;
  GsfPtr<GsfInput> input_;
  GsfPtr<GsfInfile> root_;
  std::size_t fileSize_ = 0;
};

}  // namespace gz::sheet
