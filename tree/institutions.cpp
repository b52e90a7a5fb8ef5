#include "tree/institutions.h"

#include "db/connection.h"
#include "db/payroll/dialect.h"
#include "text/bytes.h"

namespace gz::tree {

std::string departmentCode(const JGData& r) { return text::trim(r.jgdm); }

std::string nodeText(const JGData& r) { return r.jgmc + "_" + r.jgdm; }

const JGData* findDepartment(const InstitutionRecords& records, std::string_view code) {
  for (const JGData& r : records) {
    if (text::trimView(r.jgdm) == code) return &r;
  }
  return nullptr;
}

namespace {

int64_t countInstitutions(db::Connection& c) {
  const db::Statement s = db::dialectOf(c).countInstitutions();
  auto rows = c.query(s);
  if (!rows->next()) throw db::DbError("机构计数查询没有返回行", s.text);
  return rows->integer("cnt");
}

JGData readInstitution(const db::ResultSet& row) {
  JGData r;
  r.id = static_cast<int32_t>(row.integer("id"));
  r.upid = static_cast<int32_t>(row.integer("upid"));
  r.px = static_cast<int32_t>(row.integer("px"));
  r.jgdm = row.text("jgdm");
  r.levelLength = static_cast<int32_t>(r.jgdm.size());
  r.jgmc = row.text("jgmc");
  r.jgjb = row.text("jgjb");
  return r;
}

}  // namespace

InstitutionList::LoadResult InstitutionList::load(db::Connection& connection) {
  const int64_t count = countInstitutions(connection);
  if (count <= 0) return LoadResult::Unchanged;

  auto fresh = std::make_shared<InstitutionRecords>();
  auto rows = connection.query(db::dialectOf(connection).selectInstitutions());
  // No reserve(count): the count comes from the database and rows may have
  // gone since it was taken.
  while (static_cast<int64_t>(fresh->size()) < count && rows->next()) {
    fresh->push_back(readInstitution(*rows));
  }
  records_ = std::move(fresh);
  return LoadResult::Replaced;
}

}  // namespace gz::tree
