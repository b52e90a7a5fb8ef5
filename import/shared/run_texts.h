// The sentences of an import run, built from the fixed texts of
// import/shared/texts.h: what the run says about a row, a history line or its end.
// The run uses them for ImportOutcome::message; the front ends for the lines
// they show. All GBK.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "import/shared/frontend.h"
#include "import/shared/outcome.h"

namespace gz::imp {

// 第5行:张三:<reason>,此人未导入
std::string rowNotStoredLine(const RowOutcome& row);

// 第5行:张三:<warning>
std::string warningLine(const RowOutcome& row, std::string_view warning);

// <kind>张三:<name>, e.g. 学历:张三:博士
std::string lineWithoutCodeText(HistoryKind kind, std::string_view personName, std::string_view name);

// 数据库正被其他程序使用，正在等待…, or the line for another run.
std::string waitingText(WaitCause cause);

// 导入人员N人,未导入N行,履历记录N条,报告N条; after an update 新增N人,更新M人,未导入K行
std::string summaryLine(const ImportOutcome& outcome);
std::string updateSummaryLine(const ImportOutcome& outcome);
// 工作簿中没有的人员N人,保留未动
std::string notNamedLine(int people);

// 数据导入成功!, or 数据导入完成,N行未导入! when rows failed; 提示N条 follows
// when there were warnings.
std::string doneText(const ImportOutcome& outcome);
// After a run that wrote nothing: 将导入N人,未导入M行,提示K条
std::string checkDoneText(const ImportOutcome& outcome);

// The messages of ImportOutcome::message. `path` is UTF-8.
std::string noWorkbookMessage(std::string_view path);  // 未选择导入文件! or 工作簿不存在: <path>
std::string unreadableWorkbookMessage(std::string_view path, std::string_view reasonUtf8);
std::string runFailedMessage(bool finishedRowsKept, std::string_view reasonGbk);

// 第5行:张三:身份证号110...已在本部门 (or ...与第3行李四相同), with ,跳过 when
// the row is left out.
std::string duplicateLine(const DuplicateRow& row, bool skipped);
// 3人的身份证号已在本部门,未导入任何人员; ...已在本部门或与工作簿中前面的行相同...
// when some are repeated within the workbook.
std::string duplicatesRefusedMessage(int count, bool withinWorkbook = false);

// 请从第N行继续导入 (请以追加方式从第N行继续导入 after an overwrite); empty when
// the run did not end early.
std::string resumeLine(const ImportOutcome& outcome);
// 第3行, or 第3至4行 for a header over two rows.
std::string rowsLabel(TitleRows rows);
// 第1行缺少所需的标题: 出生年月、个人身份
std::string missingTitlesLine(TitleRows rows, const std::vector<std::string_view>& missing);
// 第3行有所需的标题
std::string hasTitlesLine(TitleRows rows);
// 第2个工作表"花名册"、第3个工作表"名单"有所需的标题
std::string otherSheetsLine(const std::vector<OtherSheet>& sheets);
// 隐藏行: 第5、9行,已导入
std::string hiddenRowsLine(const std::vector<int32_t>& rows);
// What the search found, one line each: 工作表: 花名册; 标题在第3至4行; for every
// title a step reads that was found in the lower of two rows or in another
// form or name, 第4行第3列"出生日期"作为出生年月 (line breaks in it as \n);
// 数据行: 第5行至第29行.
std::vector<std::string> foundHeaderLines(const FoundHeader& header);
// 数据到第26行为止: 第27行"合计: 25人"不是人员
std::string dataEndedLine(int32_t footerRow, std::string_view nameGbk);

// 起始行N不是数据行,数据行为第2行至第M行, or ...工作表没有数据行 when it has none.
std::string startRowOutsideMessage(int32_t firstRow, int32_t firstDataRow, int dataRows);

}  // namespace gz::imp
