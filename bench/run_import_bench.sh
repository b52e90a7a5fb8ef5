#!/usr/bin/env bash
# Import benchmark: the whole import, a bare loop over the same reader with
# prepared inserts, and a Python peer (xlrd + sqlite3), each in its own
# process so that peak memory is its own. Prints wall time, rows per second
# and peak memory. Usage: bench/run_import_bench.sh [PEOPLE] (default 60000)
set -euo pipefail
cd "$(dirname "$0")/.."
N=${1:-60000}
BIN=build/bench/import_bench
[ -x "$BIN" ] || bash scripts/build.sh
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
/usr/bin/python3 bench/make_bench_workbook.py "$WORK" "$N"
echo "workbook: $N people, $(du -k "$WORK/bench.xls" | cut -f1) KB"
measure() {  # label, command...
  local label=$1; shift
  /usr/bin/time -f "$label: wall %e s, peak memory %M KB" "$@"
}
measure "import   " "$BIN" import "$WORK/bench.xls" "$WORK/import.db" "$WORK/dm.txt"
measure "bare loop" "$BIN" bare "$WORK/bench.xls" "$WORK/bare.db"
build/cli/gzimport init-db "$WORK/peer.db" >/dev/null
sqlite3_rows() { /usr/bin/python3 -c "import sqlite3,sys; c=sqlite3.connect(sys.argv[1]); print(sum(c.execute(f'select count(*) from {t}').fetchone()[0] for t in ('ryjbxx','ryxl','ryrz','rykh')))" "$1"; }
measure "python peer" /usr/bin/python3 bench/peer_import.py "$WORK/bench.xls" "$WORK/peer.db" "$WORK/dm.txt" 01
echo "rows stored: import $(sqlite3_rows "$WORK/import.db"), bare $(sqlite3_rows "$WORK/bare.db"), peer $(sqlite3_rows "$WORK/peer.db")"
