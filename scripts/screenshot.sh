#!/usr/bin/env bash
# Makes docs/window.png: the window after a demo import, drawn under Xvfb;
# docs/title_mapping.png: the dialog for a roster whose titles the tool
# does not know (tools/make_roster_workbooks.py's roster_own_names); and
# docs/preview.png, the preview of a check.
# Uses the programs of an existing build (BUILD, default build/): a demo
# database from `gzimport init-db --demo`, the demo workbook and code file,
# then gzimport-gui-screenshot clicks department 0102, the workbook and 导入.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
BUILD=${BUILD:-$ROOT/build}
for exe in "$BUILD/cli/gzimport" "$BUILD/shell/gzimport-gui-screenshot"; do
  [ -x "$exe" ] || { echo "screenshot.sh: $exe is missing; build first (scripts/build.sh)" >&2; exit 1; }
done
command -v xvfb-run >/dev/null || { echo "screenshot.sh: xvfb-run is missing (apt-get install xvfb)" >&2; exit 1; }

TMP=$(mktemp -d)
WORK=$TMP/demo  # the folder chooser shows this name
mkdir "$WORK"
trap 'rm -rf "$TMP"' EXIT
"$BUILD/cli/gzimport" init-db --demo "$WORK/gzgl.mdb" >/dev/null
/usr/bin/python3 scripts/make_demo_workbook.py "$WORK"
mkdir -p docs
(cd "$WORK" && QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x800x24 -dpi 96" \
  "$BUILD/shell/gzimport-gui-screenshot" --dept 0102 --workbook staff.xls --out "$ROOT/docs/window.png")
/usr/bin/python3 tools/make_roster_workbooks.py "$WORK"
(cd "$WORK" && QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x800x24 -dpi 96" \
  "$BUILD/shell/gzimport-gui-screenshot" --dept 0101 --workbook roster_own_names.xls --out "$TMP/window.png" \
  --dialog-out "$ROOT/docs/title_mapping.png")

# docs/preview.png: the preview 检查 opens, for a roster with one identity
# number typed as a number (not imported) and one with a wrong check digit.
/usr/bin/python3 - "$TMP/roster" <<'PY'
import sys
sys.path.insert(0, "scripts")
import make_demo_workbook as demo
people = list(demo.PEOPLE)
people[1] = people[1][:6] + ("110101197211204321",) + people[1][7:]
people[2] = people[2][:6] + (110101198005091129,) + people[2][7:]
demo.PEOPLE = people
demo.main(sys.argv[1])
PY
cp "$TMP/roster/staff.xls" "$WORK/roster.xls"
(cd "$WORK" && QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x800x24 -dpi 96" \
  "$BUILD/shell/gzimport-gui-screenshot" --preview --dept 0103 --workbook roster.xls --out "$ROOT/docs/preview.png")
