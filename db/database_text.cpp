#include "db/database_text.h"

#include <QString>

#include "db/connection.h"
#include "text/gb18030.h"

namespace gz::db {
namespace {

[[noreturn]] void refuseMalformed(std::string_view text, const text::ConversionReport& report) {
  throw DbError(DbFault::Refused, "文字含无法识别的字节(第" + std::to_string(report.firstBadOffset + 1) +
                                      "字节),不能保存: " + text::gb18030ToUtf8(text));
}

}  // namespace

std::string databaseUtf8(std::string_view text) {
  text::ConversionReport report;
  std::string utf8 = text::gb18030ToUtf8(text, &report);
  if (!report.ok()) refuseMalformed(text, report);
  return utf8;
}

QString databaseQString(std::string_view text) {
  text::ConversionReport report;
  QString s = text::gb18030ToQString(text, &report);
  if (!report.ok()) refuseMalformed(text, report);
  return s;
}

}  // namespace gz::db
