#!/usr/bin/env bash
# The export benchmark, side by side in one run: a department of PEOPLE people
# (default 60,000) with 3 education, 3 position and 5 assessment rows each,
# imported from the bench workbook, then written out by `gzimport export` and
# by the Python peer (sqlite3 + openpyxl write-only, bench/peer_export.py).
# Each runs RUNS times (default 3) in a process of its own; the fastest wall
# time is shown, with its CPU time and peak memory. The tool is also timed on
# a quarter of the people: its memory does not grow with the department.
# Usage: bench/run_export_bench.sh [PEOPLE]
set -euo pipefail
cd "$(dirname "$0")/.."
N=${1:-60000}
RUNS=${RUNS:-3}
CLI=build/cli/gzimport
if [ ! -x "$CLI" ]; then
  [ -f build/build.ninja ] || cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build build --target gzimport
fi
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
export XDG_DATA_HOME="$WORK/data"

# prepare SIZE: a database of SIZE people in department 01, in $WORK/SIZE.
prepare() {
  local dir="$WORK/$1"
  /usr/bin/python3 bench/make_bench_workbook.py "$dir" "$1" >/dev/null
  "$CLI" init-db "$dir/bench.db" >/dev/null
  /usr/bin/python3 -c "import sqlite3,sys; c=sqlite3.connect(sys.argv[1]); c.execute(\"insert into dm_jg (upid,px,jgdm,jgmc,jgjb) values (0,1,'01','bench','1')\"); c.commit()" "$dir/bench.db"
  "$CLI" import --no-journal --db "$dir/bench.db" --dept 01 --codes "$dir/dm.txt" "$dir/bench.xls" >/dev/null 2>&1 || true
}

# measure NAME COMMAND...: the fastest of RUNS runs as "wall cpu peak_kb" in $WORK/NAME.
measure() {
  local name=$1 best=""; shift
  for _ in $(seq "$RUNS"); do
    /usr/bin/time -f "%e %U %S %M" -o "$WORK/$name.run" "$@" >"$WORK/$name.out" 2>&1
    awk '{print $1, $2 + $3, $4}' "$WORK/$name.run" >"$WORK/$name.cpu" && mv "$WORK/$name.cpu" "$WORK/$name.run"
    if [ -z "$best" ] || awk -v a="$(cut -d' ' -f1 "$WORK/$name.run")" -v b="$(cut -d' ' -f1 <<<"$best")" 'BEGIN{exit !(a<b)}'; then
      best=$(cat "$WORK/$name.run")
    fi
  done
  echo "$best" >"$WORK/$name"
}

QUARTER=$((N / 4))
prepare "$N"
prepare "$QUARTER"
d="$WORK/$N"
q="$WORK/$QUARTER"
measure tool "$CLI" export --db "$d/bench.db" --dept 01 --codes "$d/dm.txt" "$d/tool.xlsx"
measure quarter "$CLI" export --db "$q/bench.db" --dept 01 --codes "$q/dm.txt" "$q/tool.xlsx"
measure peer /usr/bin/python3 bench/peer_export.py "$d/bench.db" "$d/dm.txt" 01 "$d/peer.xlsx"

row() {  # label name file
  read -r wall cpu kb <"$WORK/$2"
  printf '  %-40s %8.2f %8.2f %9.1f %9.1f\n' "$1" "$wall" "$cpu" "$(awk -v k="$kb" 'BEGIN{print k/1024}')" \
    "$(awk -v k="$(du -k "$3" | cut -f1)" 'BEGIN{print k/1024}')"
}
echo
echo "Export: $N people with 11 history rows each, $(nproc) cores, load $(cut -d' ' -f1 /proc/loadavg), fastest of $RUNS"
printf '  %-40s %8s %8s %9s %9s\n' "" "wall s" "cpu s" "peak MB" "file MB"
row "tool (gzimport export)" tool "$d/tool.xlsx"
row "tool, a quarter of the people" quarter "$q/tool.xlsx"
row "python peer (openpyxl write-only)" peer "$d/peer.xlsx"
read -r t _ <"$WORK/tool"
read -r p _ <"$WORK/peer"
awk -v t="$t" -v p="$p" 'BEGIN{ printf "  tool %.2fx as fast as the peer\n", p/t }'
head -n 1 "$WORK/tool.out" | sed 's/^/  tool: /'
