// The warnings that the workbook libraries print on their own (libgsf through
// GLib's log, e.g. "libgsf:msole-WARNING **: Invalid metabat item" for a
// damaged file). A damaged workbook is reported by the reader that meets it,
// in the program's own words; the library's lines would only reach the
// terminal raw.
#pragma once

namespace gz::sheet {

// From now on GLib's messages below the level of an error are dropped;
// errors, which end the program, are still shown.
void dropLibraryLog();

}  // namespace gz::sheet
