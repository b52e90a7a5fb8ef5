#include "cli/terminal.h"

#include <atomic>
#include <csignal>
#include <cstdio>

#include <string>

#ifdef _WIN32
#include <io.h>
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#define GZ_ISATTY _isatty
#define GZ_FILENO _fileno
#else
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>
#define GZ_ISATTY isatty
#define GZ_FILENO fileno
#endif

namespace gz::cli {

namespace {
volatile std::sig_atomic_t g_interrupted = 0;

// The first Ctrl-C asks the run to stop after the current row; a second one
// ends the process at once (every committed row is whole either way).
extern "C" void onInterrupt(int) {
  g_interrupted = 1;
  std::signal(SIGINT, SIG_DFL);
}
}  // namespace

bool stderrIsTerminal() { return GZ_ISATTY(GZ_FILENO(stderr)) != 0; }

bool stdoutIsTerminal() { return GZ_ISATTY(GZ_FILENO(stdout)) != 0; }

#ifdef _WIN32
// Windows gives files and pipes no identity that _fstat reports.
bool stdoutAndStderrShareFile() { return true; }
#else
bool stdoutAndStderrShareFile() {
  struct stat out{}, err{};
  if (fstat(STDOUT_FILENO, &out) != 0 || fstat(STDERR_FILENO, &err) != 0) return true;
  return out.st_dev == err.st_dev && out.st_ino == err.st_ino;
}
#endif

void installInterruptHandler() { std::signal(SIGINT, onInterrupt); }

bool interruptRequested() { return g_interrupted != 0; }

bool stdinIsTerminal() { return GZ_ISATTY(GZ_FILENO(stdin)) != 0; }

#ifdef _WIN32

std::optional<std::string> readPasswordFromTerminal(const std::string& question) {
  HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
  DWORD mode = 0;
  if (!GetConsoleMode(in, &mode)) return std::nullopt;
  SetConsoleMode(in, (mode & ~ENABLE_ECHO_INPUT) | ENABLE_LINE_INPUT);
  std::fputs(question.c_str(), stderr);
  std::fflush(stderr);
  // Read as UTF-16 so that any character typed arrives whole.
  std::wstring line;
  wchar_t buffer[256];
  DWORD got = 0;
  bool ended = false;
  while (ReadConsoleW(in, buffer, 256, &got, nullptr) && got > 0) {
    line.append(buffer, got);
    if (line.find(L'\n') != std::wstring::npos) {
      ended = true;
      break;
    }
  }
  SetConsoleMode(in, mode);
  std::fputc('\n', stderr);
  if (!ended && line.empty()) return std::nullopt;
  while (!line.empty() && (line.back() == L'\n' || line.back() == L'\r')) line.pop_back();
  const int size =
      WideCharToMultiByte(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), utf8.data(), size, nullptr, nullptr);
  return utf8;
}

#else

namespace {
termios g_savedTerminal;

// Ctrl-C while the echo is off: give the terminal back its echo, then end as
// the signal would have.
extern "C" void onInterruptWithoutEcho(int signal) {
  tcsetattr(STDIN_FILENO, TCSANOW, &g_savedTerminal);
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}
}  // namespace

std::optional<std::string> readPasswordFromTerminal(const std::string& question) {
  const bool terminal = tcgetattr(STDIN_FILENO, &g_savedTerminal) == 0;
  void (*previous)(int) = SIG_DFL;
  if (terminal) {
    previous = std::signal(SIGINT, onInterruptWithoutEcho);
    termios silent = g_savedTerminal;
    silent.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    silent.c_lflag |= ECHONL;  // the Enter key still moves to the next line
    // Typed-ahead input is dropped; the question shows once the echo is off.
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &silent);
  }
  std::fputs(question.c_str(), stderr);
  std::fflush(stderr);
  std::string line;
  bool any = false;
  for (int c; (c = std::fgetc(stdin)) != EOF;) {
    any = true;
    if (c == '\n') break;
    line.push_back(static_cast<char>(c));
  }
  if (terminal) {
    tcsetattr(STDIN_FILENO, TCSANOW, &g_savedTerminal);
    std::signal(SIGINT, previous);
  }
  if (!any) {
    std::fputc('\n', stderr);
    return std::nullopt;
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

#endif

}  // namespace gz::cli
