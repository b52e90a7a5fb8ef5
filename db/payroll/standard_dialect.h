// The SQLite and PostgreSQL flavours: one fixed text per statement shape with
// "?" placeholders, values bound, dates as real dates.
#pragma once

#include "db/payroll/dialect.h"

namespace gz::db {

class StandardDialect final : public Dialect {
 public:
  explicit StandardDialect(DialectKind kind) : kind_(kind) {}
  DialectKind kind() const override { return kind_; }
  Statement countInstitutions() const override;
  Statement selectInstitutions() const override;
  Statement selectDepartmentPeople(std::string_view deptCode) const override;
  std::vector<Statement> deleteDepartmentPeople(std::string_view deptCode) const override;
  std::optional<Statement> insertEducation(int64_t personId, bool fullTime, std::string_view date,
                                           std::string_view educationCode) const override;
  std::optional<Statement> updateEducationYears(int64_t wholeYears, int64_t personId,
                                                std::string_view date) const override;
  std::optional<Statement> insertPosition(int64_t personId, std::string_view date,
                                          std::string_view positionCode) const override;
  std::optional<Statement> insertAssessment(int64_t personId, int64_t year, std::string_view resultCode) const override;
  std::optional<bool> sameDate(std::string_view a, std::string_view b) const override;
  std::optional<Statement> insertEducationWithYears(int64_t personId, bool fullTime, std::string_view date,
                                                    std::string_view educationCode, int64_t wholeYears) const override;
  Statement selectDepartmentIdCards(std::string_view deptCode) const override;
  std::vector<Statement> selectRowsToDelete(std::string_view deptCode) const override;
  std::optional<Statement> takeWriteLock() const override;
  WholeRows wholeRows() const override;
  Statement updatePerson(int64_t personId, const Row& columns) const override;
  Statement deletePersonRows(std::string_view table, int64_t personId) const override;
  Statement selectDepartmentRows(std::string_view table, std::string_view deptCode) const override;
  Statement deleteRowById(std::string_view table, int64_t rowId) const override;
  Statement selectExportPeople(std::string_view deptCode, bool withBelow, int64_t afterId, int limit) const override;
  Statement selectExportHistory(std::string_view table, std::string_view deptCode, bool withBelow, int64_t afterId,
                                int64_t lastId) const override;

 private:
  DialectKind kind_;
};

}  // namespace gz::db
