#include "sheet/xls/biff_records.h"

#include "sheet/model/read_error.h"

namespace gz::sheet::biff {

RecordReader::RecordReader(Bytes stream, std::size_t offset) : stream_(stream), pos_(offset) {
  if (pos_ > stream_.size()) throw ReadError(kRecordOutOfBounds);
}

bool RecordReader::next(Record& rec) {
  if (pos_ == stream_.size()) return false;
  if (stream_.size() - pos_ < 4) throw ReadError(kRecordOutOfBounds);
  const uint8_t* header = stream_.data() + pos_;
  const std::size_t length = le16(header + 2);
  if (stream_.size() - pos_ - 4 < length) throw ReadError(kRecordOutOfBounds);
  rec.id = le16(header);
  rec.offset = pos_;
  rec.payload = stream_.subspan(pos_ + 4, length);
  pos_ += 4 + length;
  return true;
}

void RecordReader::takeContinues(std::vector<Bytes>& parts) {
  while (stream_.size() - pos_ >= 4 && le16(stream_.data() + pos_) == kContinue) {
    Record rec;
    next(rec);
    parts.push_back(rec.payload);
  }
}

}  // namespace gz::sheet::biff
