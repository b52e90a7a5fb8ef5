#!/usr/bin/env bash
# The main job on the embedded default: installs what the programs need,
# builds the two programs (no tests), makes a demo database (SQLite) with a
# demo workbook and code file in demo/, and imports the workbook into
# department 0102, printing what the import prints.
# With a display, the window then opens on the demo database.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh programs
bash scripts/build.sh programs
ROOT=$PWD
rm -rf demo && mkdir demo
build/cli/gzimport init-db --demo demo/gzgl.mdb
/usr/bin/python3 scripts/make_demo_workbook.py demo
cd demo
echo "== institution tree =="
"$ROOT/build/cli/gzimport" tree
echo "== import staff.xls into 0102 (append) =="
"$ROOT/build/cli/gzimport" import --dept 0102 staff.xls
echo "== people of 0102 =="
"$ROOT/build/cli/gzimport" people --dept 0102
if [ -n "${DISPLAY:-}" ] && [ -x "$ROOT/build/shell/gzimport-gui" ] && [ -z "${CI:-}" ]; then
  "$ROOT/build/shell/gzimport-gui" &
fi
