#include "export/department_rows.h"

#include <algorithm>
#include <memory>

#include "db/payroll/dialect.h"

namespace gz::exp {
namespace {

// The positions of named columns in a result, found once per query.
class ColumnPositions {
 public:
  explicit ColumnPositions(const db::ResultSet& rs) : names_(rs.columnNames()) {}
  int operator[](std::string_view name) const {
    for (std::size_t i = 0; i < names_.size(); ++i)
      if (equalsIgnoringCase(names_[i], name)) return static_cast<int>(i);
    throw db::DbError(db::DbFault::MissingColumn, "no column " + std::string(name));
  }

 private:
  static bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return std::tolower(static_cast<unsigned char>(x)) == y; });
  }
  std::vector<std::string> names_;
};

int64_t wholeNumber(const db::Value& v) {
  if (const auto* i = std::get_if<int64_t>(&v)) return *i;
  if (const auto* d = std::get_if<double>(&v)) return static_cast<int64_t>(*d);
  return 0;
}

// The person of `mid` in the slice (ordered by id), or null.
StoredPerson* ownerIn(std::deque<StoredPerson>& slice, int64_t mid) {
  const auto it =
      std::lower_bound(slice.begin(), slice.end(), mid, [](const StoredPerson& p, int64_t id) { return p.id < id; });
  return it != slice.end() && it->id == mid ? &*it : nullptr;
}

}  // namespace

DepartmentRows::DepartmentRows(db::Connection& conn, std::string deptCode, bool withBelow, int peoplePerSlice)
    : conn_(conn), deptCode_(std::move(deptCode)), withBelow_(withBelow), peoplePerSlice_(peoplePerSlice) {}

bool DepartmentRows::next(StoredPerson& out) {
  if (slice_.empty() && !ended_) readSlice();
  if (slice_.empty()) return false;
  out = std::move(slice_.front());
  slice_.pop_front();
  return true;
}

void DepartmentRows::readSlice() {
  const db::Dialect& d = db::dialectOf(conn_);
  {
    const auto rs = conn_.query(d.selectExportPeople(deptCode_, withBelow_, afterId_, peoplePerSlice_));
    const ColumnPositions at(*rs);
    const int id = at["id"], bm = at["bm"], xm = at["xm"], bh = at["bh"], sfzh = at["sfzh"], grsf = at["grsf"],
              xb = at["xb"], mz = at["mz"], csny = at["csny"], gzsj = at["gzsj"], kjgl = at["kjgl"],
              kjtgnf = at["kjtgnf"], dzysxl = at["dzysxl"];
    while (rs->next()) {
      StoredPerson& p = slice_.emplace_back();
      p.id = wholeNumber(rs->valueAt(id));
      p.department = rs->valueAt(bm);
      p.name = rs->valueAt(xm);
      p.serial = rs->valueAt(bh);
      p.idCard = rs->valueAt(sfzh);
      p.status = rs->valueAt(grsf);
      p.sex = rs->valueAt(xb);
      p.ethnic = rs->valueAt(mz);
      p.birth = rs->valueAt(csny);
      p.workStart = rs->valueAt(gzsj);
      p.seniority = rs->valueAt(kjgl);
      p.deductYears = rs->valueAt(kjtgnf);
      p.collegeMonths = rs->valueAt(dzysxl);
    }
  }
  if (static_cast<int>(slice_.size()) < peoplePerSlice_) ended_ = true;
  if (slice_.empty()) return;
  const int64_t after = afterId_;
  afterId_ = slice_.back().id;
  const auto history = [&](const char* table, auto add) {
    const auto rs = conn_.query(d.selectExportHistory(table, deptCode_, withBelow_, after, afterId_));
    const ColumnPositions at(*rs);
    const int mid = at["mid"];
    while (rs->next())
      if (StoredPerson* p = ownerIn(slice_, wholeNumber(rs->valueAt(mid)))) add(*p, *rs, at);
  };
  history("ryxl", [](StoredPerson& p, const db::ResultSet& rs, const ColumnPositions& at) {
    p.education.push_back(
        {rs.valueAt(at["xxxs"]), rs.valueAt(at["xlrq"]), rs.valueAt(at["xldm"]), rs.valueAt(at["dzysxl"])});
  });
  history("ryrz", [](StoredPerson& p, const db::ResultSet& rs, const ColumnPositions& at) {
    p.positions.push_back({rs.valueAt(at["rzrq"]), rs.valueAt(at["rzzwdm"]), rs.valueAt(at["gzzwdm"])});
  });
  history("rykh", [](StoredPerson& p, const db::ResultSet& rs, const ColumnPositions& at) {
    p.assessments.push_back({rs.valueAt(at["khnd"]), rs.valueAt(at["khjg"])});
  });
}

}  // namespace gz::exp
