#include "cli/line_output.h"

#include <array>
#include <cstdio>
#include <string>

#include "cli/terminal.h"

namespace gz::cli {

namespace {

// Past this many bytes a buffer is written out even within a batch.
constexpr std::size_t kBufferBytes = 64 * 1024;
// A pipe takes a write of up to this many bytes whole (PIPE_BUF on Linux), so
// the lines go out in writes of whole lines no larger than this: a process
// killed while it writes never leaves half a line behind.
constexpr std::size_t kWholeWriteBytes = 4096;

class LineBuffer {
 public:
  LineBuffer() : shared_(stdoutAndStderrShareFile()) {
    slots_[0] = {stdout, !stdoutIsTerminal(), {}};
    slots_[1] = {stderr, !stderrIsTerminal(), {}};
  }
  // The lines still held go out when the program ends normally.
  ~LineBuffer() { flush(); }
  LineBuffer(const LineBuffer&) = delete;
  LineBuffer& operator=(const LineBuffer&) = delete;

  void write(OutputStream to, std::string_view utf8) {
    // Two streams into one file share one buffer, which keeps their lines
    // in order; into two places, each keeps its own.
    Slot& slot = slots_[to == OutputStream::Out || shared_ ? 0 : 1];
    slot.text.append(utf8);
    slot.text += '\n';
    if (!slot.held || slot.text.size() >= kBufferBytes) writeOut(slot);
  }

  void flush() {
    for (Slot& slot : slots_) writeOut(slot);
  }

  void holdNothing() {
    flush();
    for (Slot& slot : slots_) slot.held = false;
  }

 private:
  struct Slot {
    std::FILE* stream;
    bool held;  // lines wait in `text` (not a terminal)
    std::string text;
  };

  static void writeOut(Slot& slot) {
    const std::string_view text = slot.text;
    for (std::size_t start = 0; start < text.size();) {
      // Up to the last line break within the limit; a longer line goes alone.
      std::size_t end = text.rfind('\n', start + kWholeWriteBytes - 1);
      if (end == std::string_view::npos || end < start) end = text.find('\n', start);
      const std::size_t size = end + 1 - start;
      std::fwrite(text.data() + start, 1, size, slot.stream);
      std::fflush(slot.stream);
      start += size;
    }
    slot.text.clear();
  }

  const bool shared_;
  std::array<Slot, 2> slots_;  // stdout, stderr
};

LineBuffer& lineBuffer() {
  static LineBuffer buffer;
  return buffer;
}

}  // namespace

void writeLine(OutputStream to, std::string_view utf8) { lineBuffer().write(to, utf8); }

void flushLines() { lineBuffer().flush(); }

void writeLinesAtOnce() { lineBuffer().holdNothing(); }

}  // namespace gz::cli
