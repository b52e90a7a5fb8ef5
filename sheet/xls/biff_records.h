// Walking the records of a BIFF5/BIFF8 workbook stream held in memory.
//
// A record is a 16-bit id, a 16-bit payload length and the payload. The walker
// never reads past the stream: a record whose declared length runs past the
// end is reported as corruption.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "sheet/shared/byte_order.h"

namespace gz::sheet::biff {

using Bytes = std::span<const uint8_t>;

// Record ids (BIFF5 and BIFF8 share them).
enum RecordId : uint16_t {
  kBof = 0x0809,
  kEof = 0x000A,
  kBoundSheet = 0x0085,
  kWindow1 = 0x003D,
  kCodePage = 0x0042,
  kDateMode = 0x0022,
  kFilePass = 0x002F,
  kFormat = 0x041E,
  kXf = 0x00E0,
  kSst = 0x00FC,
  kContinue = 0x003C,
  kLabelSst = 0x00FD,
  kLabel = 0x0204,
  kRString = 0x00D6,
  kNumber = 0x0203,
  kRk = 0x027E,
  kMulRk = 0x00BD,
  kBoolErr = 0x0205,
  kBlank = 0x0201,
  kMulBlank = 0x00BE,
  kFormula = 0x0006,
  kString = 0x0207,
  kRow = 0x0208,
};

// BOF ids of the older formats, which are recognised only to be refused.
inline bool isOldBofId(uint16_t id) { return id == 0x0009 || id == 0x0209 || id == 0x0409; }

struct Record {
  uint16_t id = 0;
  std::size_t offset = 0;  // of the record header in the stream
  Bytes payload;
};

class RecordReader {
 public:
  explicit RecordReader(Bytes stream, std::size_t offset = 0);

  // The next record; false at the end of the stream. Throws ReadError when
  // the stream ends inside a record header or payload.
  bool next(Record& rec);
  // Takes the CONTINUE records that directly follow the current record and
  // appends their payloads to `parts` (which the caller starts with the
  // current record's payload).
  void takeContinues(std::vector<Bytes>& parts);

 private:
  Bytes stream_;
  std::size_t pos_;
};

}  // namespace gz::sheet::biff
