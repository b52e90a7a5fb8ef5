// The command line's output lines, written to stdout and stderr in the order
// the program writes them. A stream that is a terminal gets each line at
// once. A stream that is not (a file, a pipe) gets its lines through a
// buffer, written out when flushLines() is called (the import calls it at
// each committed batch, on Ctrl-C and at its end) or when the buffer is full,
// so a long import pays one write per batch instead of one per line. When
// both streams go into one file they share one buffer, so their lines keep
// the order they were written in.
#pragma once

#include <string_view>

namespace gz::cli {

enum class OutputStream { Out, Err };

// Writes `utf8` and a line break to `to`.
void writeLine(OutputStream to, std::string_view utf8);
// Writes out the lines the buffer holds.
void flushLines();
// Writes out the lines the buffer holds, and every later line at once: after
// a Ctrl-C, since a second one ends the process where it stands.
void writeLinesAtOnce();

}  // namespace gz::cli
