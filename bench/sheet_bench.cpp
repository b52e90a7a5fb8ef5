// Reader benchmark: opens a workbook, reads every cell of its active sheet in
// the three forms the import uses, and prints the times and peak memory.
//
//   sheet_bench                 generates a 65,536 x 20 .xls and .xlsx into a
//                               temporary folder (tools/make_bench_workbooks.py)
//                               and measures both
//   sheet_bench FILE...         measures the given workbooks
//
// Each workbook is measured in a child process of its own (the program runs
// itself with --measure), so each peak memory figure belongs to one reader.
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <string>

#include "sheet/model/cell_forms.h"
#include "sheet/model/cell_value.h"
#include "sheet/model/sheet_data.h"
#include "sheet/open_workbook.h"

#ifdef _WIN32
#include <psapi.h>
#include <windows.h>
#else
#include <sys/resource.h>
#endif

namespace {

using Clock = std::chrono::steady_clock;

double peakMemoryMb() {
#ifdef _WIN32
  PROCESS_MEMORY_COUNTERS counters{};
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return counters.PeakWorkingSetSize / (1024.0 * 1024.0);
#else
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024.0;  // kilobytes on Linux
#endif
}

// Processor time used so far (user and system), which other programs running
// on the machine do not stretch the way they stretch wall-clock time.
double cpuSeconds() {
#ifdef _WIN32
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  auto seconds = [](const FILETIME& t) {
    return ((static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e7;
  };
  return seconds(kernel) + seconds(user);
#else
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
#endif
}

double secondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

uint32_t columnCount(const gz::sheet::SheetData& sheet) {
  uint32_t widest = 0;
  for (uint32_t row = 1; row <= sheet.lastRow(); ++row) widest = std::max(widest, sheet.lastColumn(row));
  return widest;
}

int measure(const QString& path) {
  const double fileMb = QFileInfo(path).size() / (1024.0 * 1024.0);
  const double cpuStart = cpuSeconds();
  const auto start = Clock::now();
  std::unique_ptr<gz::sheet::Workbook> book;
  try {
    book = gz::sheet::openWorkbook(path.toStdString());
  } catch (const std::exception& e) {
    std::printf("%s: %s\n", qPrintable(path), e.what());
    return 1;
  }
  const double openSeconds = secondsSince(start);
  const double openCpu = cpuSeconds() - cpuStart;

  const auto readStart = Clock::now();
  const uint32_t rows = book->sheet().lastRow();
  const uint32_t cols = columnCount(book->sheet());
  std::size_t textBytes = 0, dates = 0, values = 0;
  for (uint32_t row = 1; row <= rows; ++row) {
    for (uint32_t col = 1; col <= cols; ++col) {
      const gz::sheet::CellValue v = book->value(row, col);  // the cell value form
      values += v.kind != gz::sheet::CellKind::Empty;
      textBytes += gz::sheet::cellText(v).size();
      dates += gz::sheet::cellDate(v).has_value();
    }
  }
  const double readSeconds = secondsSince(readStart);
  const double readCpu = cpuSeconds() - cpuStart - openCpu;
  const double total = openSeconds + readSeconds;
  const double peak = peakMemoryMb();
  const double memoryGoal = 3 * fileMb + 50;
  const bool isXls = path.endsWith(".xls", Qt::CaseInsensitive);
  const double timeGoal = isXls ? 0.5 : 2.0;
  std::printf("%-5s %7.1f MB  %u x %u cells (%zu values, %zu dates, %zu text bytes)\n", isXls ? "xls" : "xlsx", fileMb,
              rows, cols, values, dates, textBytes);
  std::printf("      open %.3f s  read all cells in three forms %.3f s  total %.3f s (goal < %.1f s: %s)\n",
              openSeconds, readSeconds, total, timeGoal, total < timeGoal ? "met" : "MISSED");
  std::printf("      processor time: open %.3f s  read %.3f s  total %.3f s\n", openCpu, readCpu, openCpu + readCpu);
  std::printf("      peak memory %.1f MB (goal < 3 x file + 50 MB = %.1f MB: %s)\n", peak, memoryGoal,
              peak < memoryGoal ? "met" : "MISSED");
  return 0;
}

// Runs this program on one file and passes its report through.
int measureInChild(const QString& path) {
  QProcess child;
  child.setProcessChannelMode(QProcess::ForwardedChannels);
  child.start(QCoreApplication::applicationFilePath(), {"--measure", path});
  if (!child.waitForFinished(-1)) return 1;
  return child.exitCode();
}

QString pythonProgram() {
  // The distribution's interpreter has python3-xlwt and python3-openpyxl.
  return QFileInfo::exists("/usr/bin/python3") ? "/usr/bin/python3" : "python3";
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QStringList args = app.arguments().mid(1);
  if (args.size() == 2 && args[0] == "--measure") return measure(args[1]);

  QTemporaryDir folder;
  if (args.isEmpty()) {
    if (!folder.isValid()) return 1;
    std::printf("generating the 65,536 x 20 workbooks in %s ...\n", qPrintable(folder.path()));
    std::fflush(stdout);
    const QString script = QStringLiteral(GZ_SOURCE_DIR) + "/tools/make_bench_workbooks.py";
    QProcess generator;
    generator.setProcessChannelMode(QProcess::ForwardedChannels);
    generator.start(pythonProgram(), {script, folder.path()});
    if (!generator.waitForFinished(-1) || generator.exitCode() != 0) {
      std::printf("could not generate the workbooks (%s)\n", qPrintable(script));
      return 1;
    }
    args = QStringList{folder.filePath("bench.xls"), folder.filePath("bench.xlsx")};
  }
  int status = 0;
  for (const QString& path : args) status |= measureInChild(path);
  return status;
}
