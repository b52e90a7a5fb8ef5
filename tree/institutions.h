// The institution list: the rows of dm_jg, read in load order (shorter
// codes first, then by code), from which the institution tree is built.
// Texts are GB 18030, exactly as stored.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace gz::db {
class Connection;
}

namespace gz::tree {

struct JGData {
  int32_t id = 0;
  int32_t upid = 0;  // kept with the record; the hierarchy comes from the codes
  int32_t px = 0;
  int32_t levelLength = 0;  // bytes of jgdm, blanks included: decides level and parent
  std::string jgdm;
  std::string jgmc;
  std::string jgjb;
};

using InstitutionRecords = std::vector<JGData>;

// The department code of an institution: jgdm without blanks and control
// characters at either end. This is what people are stored and found under.
std::string departmentCode(const JGData& r);

// The tree text of an institution: jgmc, "_", and jgdm as stored (untrimmed).
std::string nodeText(const JGData& r);

// The first record whose department code is `code` (GB 18030), or null.
const JGData* findDepartment(const InstitutionRecords& records, std::string_view code);

class InstitutionList {
 public:
  enum class LoadResult { Replaced, Unchanged };

  // Reads dm_jg: first the row count, then at most that many rows (the count
  // shrinks to the rows that came back). A count of 0 keeps the old records
  // and returns Unchanged, and so leaves the tree as it is. The new records
  // replace the old ones only once all were read, so a database error (thrown
  // as db::DbError) leaves the list as it was.
  LoadResult load(db::Connection& connection);

  std::size_t count() const { return records_->size(); }
  const InstitutionRecords& records() const { return *records_; }
  // The records, shared: a tree built from them keeps them alive after the
  // list has been loaded again, so its nodes never refer to released records.
  std::shared_ptr<const InstitutionRecords> shared() const { return records_; }

 private:
  std::shared_ptr<const InstitutionRecords> records_ = std::make_shared<const InstitutionRecords>();
};

}  // namespace gz::tree
