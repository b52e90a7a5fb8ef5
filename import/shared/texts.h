// The import's fixed texts as GB 18030 bytes (all of them GBK characters):
// sheet titles, pane lines, status texts and captions. Written as byte
// escapes so the bytes do not depend on the compiler's source or execution
// character set; the comment shows each.
#pragma once

#include <string_view>

namespace gz::imp::texts {

// clang-format off: one text per line, each with its bytes shown in the comment

// Titles of the first row (compared byte for byte).
inline constexpr std::string_view kTitleName = "\xD0\xD5\xC3\xFB";  // 姓名
inline constexpr std::string_view kTitleBirth = "\xB3\xF6\xC9\xFA\xC4\xEA\xD4\xC2";  // 出生年月
inline constexpr std::string_view kTitleJoinWork = "\xB2\xCE\xBC\xD3\xB9\xA4\xD7\xF7\xCA\xB1\xBC\xE4";  // 参加工作时间
inline constexpr std::string_view kTitleStatus = "\xB8\xF6\xC8\xCB\xC9\xED\xB7\xDD";  // 个人身份
inline constexpr std::string_view kTitleSerial = "\xD0\xF2\xBA\xC5";  // 序号
inline constexpr std::string_view kTitleIdCard = "\xC9\xED\xB7\xDD\xD6\xA4\xBA\xC5";  // 身份证号
inline constexpr std::string_view kTitleSeniority1 = "\xB9\xA4\xC1\xE4\xB5\xF7\xD5\xFB(\xD4\xC2\xA3\xA9";  // 工龄调整(月）
inline constexpr std::string_view kTitleSeniority2 = "\xB9\xA4\xC1\xE4\xB5\xF7\xD5\xFB\xA3\xA8\xD4\xC2\xA3\xA9";  // 工龄调整（月）
inline constexpr std::string_view kTitleSeniority3 = "\xB9\xA4\xC1\xE4\xB5\xF7\xD5\xFB(\xD4\xC2)";  // 工龄调整(月)
inline constexpr std::string_view kTitleSeniority4 = "\xB9\xA4\xC1\xE4\xB5\xF7\xD5\xFB\xA3\xA8\xD4\xC2)";  // 工龄调整（月)
inline constexpr std::string_view kTitleSex = "\xD0\xD4\xB1\xF0";  // 性别
inline constexpr std::string_view kTitleEthnic = "\xC3\xF1\xD7\xE5";  // 民族
inline constexpr std::string_view kTitleWorkStart = "\xB9\xA4\xD7\xF7\xCA\xB1\xBC\xE4";  // 工作时间
inline constexpr std::string_view kTitleDeductYears = "\xBF\xDB\xBC\xF5\xB4\xD3" "1993\xC4\xEA\xB5\xBD" "2006\xC4\xEA\xB3\xFD\xBC\xFB\xCF\xB0\xC6\xDA\xCD\xE2\xC4\xEA\xB6\xC8\xBF\xBC\xB6\xA9\xB2\xBB\xBC\xC6\xBF\xBC\xBA\xCB\xB5\xC8\xB2\xBB\xBA\xCF\xB8\xF1\xC4\xEA\xCF\xDE";  // 扣减从1993年到2006年除见习期外年度考订不计考核等不合格年限
inline constexpr std::string_view kTitleCollegeYears = "\xB2\xBB\xBC\xC6\xCB\xE3\xB9\xA4\xC1\xE4\xB5\xC4\xB4\xF3\xD7\xA8\xD2\xD4\xC9\xCF\xD1\xA7\xC1\xE4\xA3\xA8\xC4\xEA\xA3\xA9";  // 不计算工龄的大专以上学龄（年）
inline constexpr std::string_view kTitleEducation = "\xD1\xA7\xC0\xFA";  // 学历
inline constexpr std::string_view kTitlePosition = "\xD6\xB4\xD0\xD0\xBB\xF9\xB1\xBE\xB9\xA4\xD7\xCA\xB6\xD4\xD3\xA6\xD6\xB0\xCE\xF1";  // 执行基本工资对应职务
inline constexpr std::string_view kTitleAssessment = "\xB4\xD3" "2006\xC4\xEA\xBF\xAA\xCA\xBC\xB5\xC4\xBF\xBC\xBA\xCB\xC7\xE9\xBF\xF6";  // 从2006年开始的考核情况

// Messages, status texts and captions.
inline constexpr std::string_view kMsgNoFileStatus = "\xCE\xC4\xBC\xFE\xB2\xBB\xB4\xE6\xD4\xDA!";  // 文件不存在!
inline constexpr std::string_view kMsgNoFileBox = "\xCE\xB4\xD1\xA1\xD4\xF1\xB5\xBC\xC8\xEB\xCE\xC4\xBC\xFE!";  // 未选择导入文件!
inline constexpr std::string_view kCaptionFailed = "\xCA\xA7\xB0\xDC";  // 失败
inline constexpr std::string_view kMsgDeleting = "\xD5\xFD\xD4\xDA\xC9\xBE\xB3\xFD\xBE\xC9\xCA\xFD\xBE\xDD!";  // 正在删除旧数据!
inline constexpr std::string_view kMsgLayoutRejected = "XLS\xCA\xFD\xBE\xDD\xB8\xF1\xCA\xBD\xB2\xBB\xC5\xE4\xD6\xC3!\xB2\xBB\xC4\xDC\xB5\xBC\xC8\xEB";  // XLS数据格式不配置!不能导入
inline constexpr std::string_view kMsgLayoutAccepted = "XLS\xCF\xE0\xC5\xE4\xD6\xC3!\xD7\xBC\xB1\xB8\xB5\xBC\xC8\xEB";  // XLS相配置!准备导入
inline constexpr std::string_view kMsgAborted = "\xD3\xC3\xBB\xA7\xD6\xD0\xD6\xB9!";  // 用户中止!
inline constexpr std::string_view kCaptionInfo = "\xCC\xE1\xCA\xBE";  // 提示
inline constexpr std::string_view kMsgSuccess = "\xCA\xFD\xBE\xDD\xB5\xBC\xC8\xEB\xB3\xC9\xB9\xA6!";  // 数据导入成功!
inline constexpr std::string_view kCaptionError = "\xB4\xED\xCE\xF3";  // 错误
inline constexpr std::string_view kMsgAlreadyRunning = "\xB5\xBC\xC8\xEB\xD5\xFD\xD4\xDA\xBD\xF8\xD0\xD0,\xB2\xBB\xC4\xDC\xCD\xAC\xCA\xB1\xBF\xAA\xCA\xBC\xC1\xED\xD2\xBB\xB4\xCE\xB5\xBC\xC8\xEB!";  // 导入正在进行,不能同时开始另一次导入!
inline constexpr std::string_view kMsgWorkbookMissing = "\xB9\xA4\xD7\xF7\xB2\xBE\xB2\xBB\xB4\xE6\xD4\xDA: ";  // 工作簿不存在: 
inline constexpr std::string_view kMsgWorkbookUnreadable = "\xB2\xBB\xC4\xDC\xB6\xC1\xC8\xA1\xB9\xA4\xD7\xF7\xB2\xBE ";  // 不能读取工作簿 
inline constexpr std::string_view kMsgRunFailed = "\xB5\xBC\xC8\xEB\xD2\xF2\xCA\xFD\xBE\xDD\xBF\xE2\xB4\xED\xCE\xF3\xD6\xD0\xB6\xCF,\xB4\xCB\xC7\xB0\xB5\xBC\xC8\xEB\xB5\xC4\xC8\xCB\xD4\xB1\xD2\xD1\xB1\xA3\xB4\xE6:";  // 导入因数据库错误中断,此前导入的人员已保存:
inline constexpr std::string_view kMsgRunFailedBatchLost = "\xB5\xBC\xC8\xEB\xD2\xF2\xCA\xFD\xBE\xDD\xBF\xE2\xB4\xED\xCE\xF3\xD6\xD0\xB6\xCF,\xD7\xEE\xBD\xFC\xD2\xBB\xC5\xFA\xCE\xB4\xCC\xE1\xBD\xBB\xB5\xC4\xBC\xC7\xC2\xBC\xD2\xD1\xB1\xBB\xCA\xFD\xBE\xDD\xBF\xE2\xB3\xB7\xCF\xFA:";  // 导入因数据库错误中断,最近一批未提交的记录已被数据库撤销:
inline constexpr std::string_view kMsgRunFailedStatus = "\xB5\xBC\xC8\xEB\xD6\xD0\xB6\xCF!";  // 导入中断!
inline constexpr std::string_view kMsgDoneWithFailures = "\xCA\xFD\xBE\xDD\xB5\xBC\xC8\xEB\xCD\xEA\xB3\xC9,";  // 数据导入完成,
inline constexpr std::string_view kMsgRowsNotImported = "\xD0\xD0\xCE\xB4\xB5\xBC\xC8\xEB!";  // 行未导入!

// Waiting for the database or for another run, and giving up.
inline constexpr std::string_view kMsgDatabaseBusy = "\xCA\xFD\xBE\xDD\xBF\xE2\xD5\xFD\xB1\xBB\xC6\xE4\xCB\xFB\xB3\xCC\xD0\xF2\xCA\xB9\xD3\xC3\xA3\xAC\xD5\xFD\xD4\xDA\xB5\xC8\xB4\xFD\xA1\xAD";  // 数据库正被其他程序使用，正在等待…
inline constexpr std::string_view kMsgOverlappingRunWaiting = "\xB1\xBE\xB2\xBF\xC3\xC5\xBB\xF2\xC6\xE4\xC9\xCF\xCF\xC2\xBC\xB6\xB2\xBF\xC3\xC5\xB5\xC4\xC1\xED\xD2\xBB\xB4\xCE\xB5\xBC\xC8\xEB\xD5\xFD\xD4\xDA\xBD\xF8\xD0\xD0\xA3\xAC\xD5\xFD\xD4\xDA\xB5\xC8\xB4\xFD\xA1\xAD";  // 本部门或其上下级部门的另一次导入正在进行，正在等待…
inline constexpr std::string_view kMsgBusyGaveUp = "\xCA\xFD\xBE\xDD\xBF\xE2\xD2\xBB\xD6\xB1\xB1\xBB\xC6\xE4\xCB\xFB\xB3\xCC\xD0\xF2\xCA\xB9\xD3\xC3,\xB5\xC8\xB4\xFD\xB3\xAC\xCA\xB1,\xB5\xBC\xC8\xEB\xD6\xD0\xB6\xCF,\xB4\xCB\xC7\xB0\xCC\xE1\xBD\xBB\xB5\xC4\xC8\xCB\xD4\xB1\xD2\xD1\xB1\xA3\xB4\xE6";  // 数据库一直被其他程序使用,等待超时,导入中断,此前提交的人员已保存
inline constexpr std::string_view kMsgOverlappingRunGaveUp = "\xB1\xBE\xB2\xBF\xC3\xC5\xBB\xF2\xC6\xE4\xC9\xCF\xCF\xC2\xBC\xB6\xB2\xBF\xC3\xC5\xB5\xC4\xC1\xED\xD2\xBB\xB4\xCE\xB5\xBC\xC8\xEB\xD2\xBB\xD6\xB1\xD4\xDA\xBD\xF8\xD0\xD0,\xB5\xC8\xB4\xFD\xB3\xAC\xCA\xB1,\xB1\xBE\xB4\xCE\xB5\xBC\xC8\xEB\xCE\xB4\xD0\xB4\xC8\xEB\xC8\xCE\xBA\xCE\xCA\xFD\xBE\xDD";  // 本部门或其上下级部门的另一次导入一直在进行,等待超时,本次导入未写入任何数据
inline constexpr std::string_view kMsgConnectionLost = "\xD3\xEB\xCA\xFD\xBE\xDD\xBF\xE2\xB5\xC4\xC1\xAC\xBD\xD3\xD2\xD1\xB6\xCF\xBF\xAA,\xB5\xBC\xC8\xEB\xD6\xD0\xB6\xCF,\xB4\xCB\xC7\xB0\xCC\xE1\xBD\xBB\xB5\xC4\xC8\xCB\xD4\xB1\xD2\xD1\xB1\xA3\xB4\xE6: ";  // 与数据库的连接已断开,导入中断,此前提交的人员已保存: 

// Pieces of the closing summary line: 导入人员N人,未导入N行,履历记录N条,报告N条
inline constexpr std::string_view kSummaryPersons = "\xB5\xBC\xC8\xEB\xC8\xCB\xD4\xB1";  // 导入人员
inline constexpr std::string_view kSummaryFailed = "\xC8\xCB,\xCE\xB4\xB5\xBC\xC8\xEB";  // 人,未导入
inline constexpr std::string_view kSummaryHistory = "\xD0\xD0,\xC2\xC4\xC0\xFA\xBC\xC7\xC2\xBC";  // 行,履历记录
inline constexpr std::string_view kSummaryReports = "\xCC\xF5,\xB1\xA8\xB8\xE6";  // 条,报告
inline constexpr std::string_view kSummaryEnd = "\xCC\xF5";  // 条

// A row whose person is not stored: 第5行:张三:<reason>,此人未导入
inline constexpr std::string_view kRowPrefix = "\xB5\xDA";  // 第
inline constexpr std::string_view kRowSuffix = "\xD0\xD0:";  // 行:
inline constexpr std::string_view kRowNotImported = ",\xB4\xCB\xC8\xCB\xCE\xB4\xB5\xBC\xC8\xEB";  // ,此人未导入
inline constexpr std::string_view kReasonNotADate = "\xB2\xBB\xCA\xC7\xC8\xD5\xC6\xDA";  // 不是日期
inline constexpr std::string_view kReasonErrorCell = "\xB5\xA5\xD4\xAA\xB8\xF1\xCA\xC7\xB4\xED\xCE\xF3\xD6\xB5 ";  // 单元格是错误值 
inline constexpr std::string_view kReasonOutOfRange = "\xB3\xAC\xB3\xF6\xB7\xB6\xCE\xA7";  // 超出范围
inline constexpr std::string_view kReasonUnreadableText = "\xBA\xAC\xCE\xDE\xB7\xA8\xCA\xB6\xB1\xF0\xB5\xC4\xCE\xC4\xD7\xD6";  // 含无法识别的文字
inline constexpr std::string_view kReasonDbRefused = "\xCA\xFD\xBE\xDD\xBF\xE2\xBE\xDC\xBE\xF8\xB1\xA3\xB4\xE6\xB4\xCB\xC8\xCB:";  // 数据库拒绝保存此人:

// A title cell the file held malformed: 第1行第3列的标题含无法识别的文字
inline constexpr std::string_view kTitleUnreadablePrefix = "\xB5\xDA" "1" "\xD0\xD0\xB5\xDA";  // 第1行第
inline constexpr std::string_view kTitleUnreadableSuffix = "\xC1\xD0\xB5\xC4\xB1\xEA\xCC\xE2\xBA\xAC\xCE\xDE\xB7\xA8\xCA\xB6\xB1\xF0\xB5\xC4\xCE\xC4\xD7\xD6";  // 列的标题含无法识别的文字

// History report prefixes and study modes.
inline constexpr std::string_view kReportEducation = "\xD1\xA7\xC0\xFA:";  // 学历:
inline constexpr std::string_view kReportPosition = "\xD6\xB0\xCE\xF1:";  // 职务:
inline constexpr std::string_view kReportAssessment = "\xBF\xBC\xBA\xCB:";  // 考核:
inline constexpr std::string_view kModeFullTime = "\xC8\xAB\xC8\xD5\xD6\xC6";  // 全日制
inline constexpr std::string_view kModeEmployed = "\xD4\xDA\xD6\xB0";  // 在职

// Where to continue a run that ended early: 请从第N行继续导入, 请以追加方式从第N行继续导入
inline constexpr std::string_view kResumeFromRow = "\xC7\xEB\xB4\xD3\xB5\xDA";  // 请从第
inline constexpr std::string_view kResumeAppendingFromRow = "\xC7\xEB\xD2\xD4\xD7\xB7\xBC\xD3\xB7\xBD\xCA\xBD\xB4\xD3\xB5\xDA";  // 请以追加方式从第
inline constexpr std::string_view kResumeRowEnd = "\xD0\xD0\xBC\xCC\xD0\xF8\xB5\xBC\xC8\xEB";  // 行继续导入

// A start row that is no data row: 起始行9不是数据行,数据行为第2行至第5行 (or 工作表没有数据行)
inline constexpr std::string_view kMsgStartRowPrefix = "\xC6\xF0\xCA\xBC\xD0\xD0";  // 起始行
inline constexpr std::string_view kMsgStartRowOutside = "\xB2\xBB\xCA\xC7\xCA\xFD\xBE\xDD\xD0\xD0,\xCA\xFD\xBE\xDD\xD0\xD0\xCE\xAA\xB5\xDA";  // 不是数据行,数据行为第
inline constexpr std::string_view kRowsTo = "\xD0\xD0\xD6\xC1\xB5\xDA";  // 行至第
inline constexpr std::string_view kRowWord = "\xD0\xD0";  // 行
inline constexpr std::string_view kMsgStartRowNoData = "\xB2\xBB\xCA\xC7\xCA\xFD\xBE\xDD\xD0\xD0,\xB9\xA4\xD7\xF7\xB1\xED\xC3\xBB\xD3\xD0\xCA\xFD\xBE\xDD\xD0\xD0";  // 不是数据行,工作表没有数据行

// People the department has already: 第5行:张三:身份证号110...已在本部门(,跳过); 3人的身份证号已在本部门,未导入任何人员
inline constexpr std::string_view kSummarySkipped = "\xD0\xD0,\xCC\xF8\xB9\xFD";  // 行,跳过
inline constexpr std::string_view kDuplicateIdCard = ":\xC9\xED\xB7\xDD\xD6\xA4\xBA\xC5";  // :身份证号
inline constexpr std::string_view kDuplicateExists = "\xD2\xD1\xD4\xDA\xB1\xBE\xB2\xBF\xC3\xC5";  // 已在本部门
inline constexpr std::string_view kDuplicateSkipped = ",\xCC\xF8\xB9\xFD";  // ,跳过
inline constexpr std::string_view kMsgDuplicatesRefused = "\xC8\xCB\xB5\xC4\xC9\xED\xB7\xDD\xD6\xA4\xBA\xC5\xD2\xD1\xD4\xDA\xB1\xBE\xB2\xBF\xC3\xC5,\xCE\xB4\xB5\xBC\xC8\xEB\xC8\xCE\xBA\xCE\xC8\xCB\xD4\xB1";  // 人的身份证号已在本部门,未导入任何人员

// The workbook of the rows not stored: the title of its reason column, its sheet's name.
inline constexpr std::string_view kRejectReasonTitle = "\xCE\xB4\xB5\xBC\xC8\xEB\xD4\xAD\xD2\xF2";  // 未导入原因
inline constexpr std::string_view kRejectsSheetName = "\xCE\xB4\xB5\xBC\xC8\xEB\xB5\xC4\xD0\xD0";  // 未导入的行

// Other names under which sheets carry a title.
inline constexpr std::string_view kOtherBirthDate = "\xB3\xF6\xC9\xFA\xC8\xD5\xC6\xDA";  // 出生日期
inline constexpr std::string_view kOtherBirthFull = "\xB3\xF6\xC9\xFA\xC4\xEA\xD4\xC2\xC8\xD5";  // 出生年月日
inline constexpr std::string_view kOtherJoinWorkDate = "\xB2\xCE\xBC\xD3\xB9\xA4\xD7\xF7\xC8\xD5\xC6\xDA";  // 参加工作日期
inline constexpr std::string_view kOtherJoinWorkMonth = "\xB2\xCE\xBC\xD3\xB9\xA4\xD7\xF7\xC4\xEA\xD4\xC2";  // 参加工作年月
inline constexpr std::string_view kOtherIdCardNumber = "\xC9\xED\xB7\xDD\xD6\xA4\xBA\xC5\xC2\xEB";  // 身份证号码
inline constexpr std::string_view kOtherCitizenNumber = "\xB9\xAB\xC3\xF1\xC9\xED\xB7\xDD\xBA\xC5\xC2\xEB";  // 公民身份号码
inline constexpr std::string_view kOtherIdCard = "\xC9\xED\xB7\xDD\xD6\xA4";  // 身份证
inline constexpr std::string_view kOtherStaffStatus = "\xC8\xCB\xD4\xB1\xC9\xED\xB7\xDD";  // 人员身份
inline constexpr std::string_view kOtherStatus = "\xC9\xED\xB7\xDD";  // 身份
inline constexpr std::string_view kOtherSerial = "\xB1\xE0\xBA\xC5";  // 编号

// How a name cell begins on the lines below a roster: totals and signatures.
inline constexpr std::string_view kFooterTotal = "\xBA\xCF\xBC\xC6";  // 合计
inline constexpr std::string_view kFooterGrandTotal = "\xD7\xDC\xBC\xC6";  // 总计
inline constexpr std::string_view kFooterSubtotal = "\xD0\xA1\xBC\xC6";  // 小计
inline constexpr std::string_view kFooterMadeBy = "\xD6\xC6\xB1\xED";  // 制表
inline constexpr std::string_view kFooterFilledBy = "\xCC\xEE\xB1\xED";  // 填表
inline constexpr std::string_view kFooterChecked = "\xC9\xF3\xBA\xCB";  // 审核
inline constexpr std::string_view kFooterResponsible = "\xB8\xBA\xD4\xF0\xC8\xCB";  // 负责人

// A header found below row 1: 工作表: 花名册 / 标题在第3至4行 / 第4行第3列"出生日期"作为出生年月 / 数据行: 第5行至第29行
inline constexpr std::string_view kFoundSheet = "\xB9\xA4\xD7\xF7\xB1\xED: ";  // 工作表: 
inline constexpr std::string_view kFoundTitlesAt = "\xB1\xEA\xCC\xE2\xD4\xDA";  // 标题在
inline constexpr std::string_view kRowsBetween = "\xD6\xC1";  // 至
inline constexpr std::string_view kRowThenColumn = "\xD0\xD0\xB5\xDA";  // 行第
inline constexpr std::string_view kColumnQuote = "\xC1\xD0\"";  // 列"
inline constexpr std::string_view kQuoteAs = "\"\xD7\xF7\xCE\xAA";  // "作为
inline constexpr std::string_view kSheetHasNoDataRows = "\xB9\xA4\xD7\xF7\xB1\xED\xC3\xBB\xD3\xD0\xCA\xFD\xBE\xDD\xD0\xD0";  // 工作表没有数据行
inline constexpr std::string_view kFoundDataRows = "\xCA\xFD\xBE\xDD\xD0\xD0: \xB5\xDA";  // 数据行: 第
// 第3行有所需的标题; 第1行缺少所需的标题: 出生年月、个人身份
inline constexpr std::string_view kHasTitles = "\xD3\xD0\xCB\xF9\xD0\xE8\xB5\xC4\xB1\xEA\xCC\xE2";  // 有所需的标题
inline constexpr std::string_view kLacksTitles = "\xC8\xB1\xC9\xD9\xCB\xF9\xD0\xE8\xB5\xC4\xB1\xEA\xCC\xE2: ";  // 缺少所需的标题: 
inline constexpr std::string_view kListSeparator = "\xA1\xA2";  // 、
// 数据到第26行为止: 第27行"合计: 25人"不是人员
inline constexpr std::string_view kDataEndsAt = "\xCA\xFD\xBE\xDD\xB5\xBD\xB5\xDA";  // 数据到第
inline constexpr std::string_view kDataEndsBecause = "\xD0\xD0\xCE\xAA\xD6\xB9: \xB5\xDA";  // 行为止: 第
inline constexpr std::string_view kRowQuote = "\xD0\xD0\"";  // 行"
inline constexpr std::string_view kQuoteNotAPerson = "\"\xB2\xBB\xCA\xC7\xC8\xCB\xD4\xB1";  // "不是人员
// A 身份证号 cell holding a number that lost its last digits (the person is not stored).
inline constexpr std::string_view kReasonIdLostDigits = "\xC9\xED\xB7\xDD\xD6\xA4\xBA\xC5\xCA\xC7\xCA\xFD\xD6\xB5,\xB5\xDA" "15\xCE\xBB\xD2\xD4\xBA\xF3\xB5\xC4\xCA\xFD\xD7\xD6\xD2\xD1\xB6\xAA\xCA\xA7;\xC7\xEB\xB0\xD1\xB8\xC3\xC1\xD0\xC9\xE8\xCE\xAA\xCE\xC4\xB1\xBE\xBA\xF3\xD6\xD8\xD0\xC2\xCA\xE4\xC8\xEB";  // 身份证号是数值,第15位以后的数字已丢失;请把该列设为文本后重新输入

// What looks wrong in a stored person's cells: 第5行:张三:身份证号"..."<what>; 出生年月1850-01-01早于1900年
inline constexpr std::string_view kIdFullWidth = "\xBA\xAC\xC8\xAB\xBD\xC7\xCA\xFD\xD7\xD6\xBB\xF2X";  // 含全角数字或X
inline constexpr std::string_view kIdInnerBlank = "\xD6\xD0\xBC\xE4\xD3\xD0\xBF\xD5\xB8\xF1";  // 中间有空格
inline constexpr std::string_view kIdNotAnId = "\xB2\xBB\xCA\xC7\xC9\xED\xB7\xDD\xD6\xA4\xBA\xC5\xC2\xEB(\xD3\xA6\xCE\xAA" "18\xCE\xBB\xBB\xF2" "15\xCE\xBB\xCA\xFD\xD7\xD6)";  // 不是身份证号码(应为18位或15位数字)
inline constexpr std::string_view kIdCheckDigit = "\xD0\xA3\xD1\xE9\xC2\xEB\xB2\xBB\xB6\xD4,\xC4\xA9\xCE\xBB\xD3\xA6\xCE\xAA";  // 校验码不对,末位应为
inline constexpr std::string_view kIdProvince = "\xC7\xB0\xC1\xBD\xCE\xBB\xB2\xBB\xCA\xC7\xCA\xA1\xBC\xB6\xD0\xD0\xD5\xFE\xC7\xF8\xBB\xAE\xB4\xFA\xC2\xEB";  // 前两位不是省级行政区划代码
inline constexpr std::string_view kIdDateNotADay = "\xD6\xD0\xB5\xC4\xB3\xF6\xC9\xFA\xC8\xD5\xC6\xDA\xB2\xBB\xCA\xC7\xD3\xD0\xD0\xA7\xC8\xD5\xC6\xDA";  // 中的出生日期不是有效日期
inline constexpr std::string_view kIdDateInFuture = "\xD6\xD0\xB5\xC4\xB3\xF6\xC9\xFA\xC8\xD5\xC6\xDA\xCD\xED\xD3\xDA\xBD\xF1\xCC\xEC";  // 中的出生日期晚于今天
inline constexpr std::string_view kIdDateBefore1900 = "\xD6\xD0\xB5\xC4\xB3\xF6\xC9\xFA\xC8\xD5\xC6\xDA\xD4\xE7\xD3\xDA" "1900\xC4\xEA";  // 中的出生日期早于1900年
inline constexpr std::string_view kIdBirthInside = "\xD6\xD0\xB5\xC4\xB3\xF6\xC9\xFA\xC4\xEA\xD4\xC2";  // 中的出生年月
inline constexpr std::string_view kIdSexInside = "\xB1\xED\xCA\xBE";  // 表示
inline constexpr std::string_view kMale = "\xC4\xD0\xD0\xD4";  // 男性
inline constexpr std::string_view kFemale = "\xC5\xAE\xD0\xD4";  // 女性
inline constexpr std::string_view kDisagreesWith = ",\xD3\xEB";  // ,与
inline constexpr std::string_view kDisagreeEnd = "\xB2\xBB\xB7\xFB";  // 不符
inline constexpr std::string_view kSexMale = "\xC4\xD0";  // 男
inline constexpr std::string_view kSexFemale = "\xC5\xAE";  // 女
inline constexpr std::string_view kDateAfterToday = "\xCD\xED\xD3\xDA\xBD\xF1\xCC\xEC";  // 晚于今天
inline constexpr std::string_view kDateBefore1900 = "\xD4\xE7\xD3\xDA" "1900\xC4\xEA";  // 早于1900年
inline constexpr std::string_view kDateBefore14 = "\xD4\xE7\xD3\xDA" "14\xD6\xDC\xCB\xEA\xC9\xFA\xC8\xD5";  // 早于14周岁生日
inline constexpr std::string_view kSexNoCode = "\xD4\xDA\xB4\xFA\xC2\xEB\xB1\xED\xD6\xD0\xC3\xBB\xD3\xD0\xB6\xD4\xD3\xA6\xB5\xC4\xB4\xFA\xC2\xEB,\xCE\xB4\xB1\xA3\xB4\xE6\xD0\xD4\xB1\xF0";  // 在代码表中没有对应的代码,未保存性别

// Counting them, the check before writing (将导入N人,未导入M行,提示K条), and a number twice in the
// workbook (第7行:李四:身份证号...与第5行张三相同).
inline constexpr std::string_view kSummaryWarnings = ",\xCC\xE1\xCA\xBE";  // ,提示
inline constexpr std::string_view kWarningsWord = "\xCC\xE1\xCA\xBE";  // 提示
inline constexpr std::string_view kCheckWillImport = "\xBD\xAB\xB5\xBC\xC8\xEB";  // 将导入
inline constexpr std::string_view kCheckRowsWarnings = "\xD0\xD0,\xCC\xE1\xCA\xBE";  // 行,提示
inline constexpr std::string_view kDuplicateSameAs = "\xD3\xEB\xB5\xDA";  // 与第
inline constexpr std::string_view kDuplicateSame = "\xCF\xE0\xCD\xAC";  // 相同
inline constexpr std::string_view kMsgDuplicatesRefusedInBook = "\xC8\xCB\xB5\xC4\xC9\xED\xB7\xDD\xD6\xA4\xBA\xC5\xD2\xD1\xD4\xDA\xB1\xBE\xB2\xBF\xC3\xC5\xBB\xF2\xD3\xEB\xB9\xA4\xD7\xF7\xB2\xBE\xD6\xD0\xC7\xB0\xC3\xE6\xB5\xC4\xD0\xD0\xCF\xE0\xCD\xAC,\xCE\xB4\xB5\xBC\xC8\xEB\xC8\xCE\xBA\xCE\xC8\xCB\xD4\xB1";  // 人的身份证号已在本部门或与工作簿中前面的行相同,未导入任何人员

// 第2个工作表"花名册"有所需的标题 (a sheet other than the one read), with ,按此导入? when offered
inline constexpr std::string_view kSheetNumbered = "\xB8\xF6\xB9\xA4\xD7\xF7\xB1\xED\"";  // 个工作表"
inline constexpr std::string_view kTakeOtherSheet = ",\xB0\xB4\xB4\xCB\xB5\xBC\xC8\xEB?";  // ,按此导入?
// A title the operator chose for a field that the header lacks: 第1行没有标题"生日",不能用作出生年月
inline constexpr std::string_view kLacksChosenTitle = "\xC3\xBB\xD3\xD0\xB1\xEA\xCC\xE2\"";  // 没有标题"
inline constexpr std::string_view kCannotServeAs = "\",\xB2\xBB\xC4\xDC\xD3\xC3\xD7\xF7";  // ",不能用作
// 隐藏行: 第5、9行,已导入 (隐藏行: 第5、9行 in a listing)
inline constexpr std::string_view kHiddenRows = "\xD2\xFE\xB2\xD8\xD0\xD0: \xB5\xDA";  // 隐藏行: 第
inline constexpr std::string_view kHiddenRowsImported = "\xD0\xD0,\xD2\xD1\xB5\xBC\xC8\xEB";  // 行,已导入

// Update by identity number: why a row is not imported, the summary
// 新增N人,更新M人,未导入K行 and 工作簿中没有的人员N人,保留未动.
inline constexpr std::string_view kReasonNoIdToMatch = "\xC3\xBB\xD3\xD0\xC9\xED\xB7\xDD\xD6\xA4\xBA\xC5,\xCE\xDE\xB7\xA8\xB0\xB4\xC9\xED\xB7\xDD\xD6\xA4\xBA\xC5\xB8\xFC\xD0\xC2";  // 没有身份证号,无法按身份证号更新
inline constexpr std::string_view kReasonIdShared = "\xC9\xED\xB7\xDD\xD6\xA4\xBA\xC5\xCE\xAA\xB1\xBE\xB2\xBF\xC3\xC5\xB6\xE0\xC8\xCB\xB9\xB2\xD3\xD0,\xCE\xDE\xB7\xA8\xC8\xB7\xB6\xA8\xB8\xFC\xD0\xC2\xC4\xC4\xD2\xBB\xC8\xCB";  // 身份证号为本部门多人共有,无法确定更新哪一人
inline constexpr std::string_view kUpdateAdded = "\xD0\xC2\xD4\xF6";  // 新增
inline constexpr std::string_view kUpdateUpdated = "\xC8\xCB,\xB8\xFC\xD0\xC2";  // 人,更新
inline constexpr std::string_view kUpdateRows = "\xD0\xD0";  // 行
inline constexpr std::string_view kNotNamedPeople = "\xB9\xA4\xD7\xF7\xB2\xBE\xD6\xD0\xC3\xBB\xD3\xD0\xB5\xC4\xC8\xCB\xD4\xB1";  // 工作簿中没有的人员
inline constexpr std::string_view kNotNamedKept = "\xC8\xCB,\xB1\xA3\xC1\xF4\xCE\xB4\xB6\xAF";  // 人,保留未动

// The rows' results and the check report: what the run does with a row, the
// report's two added columns and its sheet, a history cell in short (职务2条: ...).
inline constexpr std::string_view kFateImport = "\xB5\xBC\xC8\xEB";  // 导入
inline constexpr std::string_view kFateUpdate = "\xB8\xFC\xD0\xC2";  // 更新
inline constexpr std::string_view kFateSkip = "\xCC\xF8\xB9\xFD";  // 跳过
inline constexpr std::string_view kFateNotImported = "\xB2\xBB\xB5\xBC\xC8\xEB";  // 不导入
inline constexpr std::string_view kReportResultTitle = "\xBD\xE1\xB9\xFB";  // 结果
inline constexpr std::string_view kReportProblemsTitle = "\xCE\xCA\xCC\xE2";  // 问题
inline constexpr std::string_view kReportSheetName = "\xBC\xEC\xB2\xE9\xBD\xE1\xB9\xFB";  // 检查结果
inline constexpr std::string_view kHistoryLinesCount = "\xCC\xF5: ";  // 条: 
inline constexpr std::string_view kHistoryPosition = "\xD6\xB0\xCE\xF1";  // 职务
inline constexpr std::string_view kHistoryAssessment = "\xBF\xBC\xBA\xCB";  // 考核

// clang-format on

}  // namespace gz::imp::texts
