#!/usr/bin/env bash
# The import benchmarks, side by side in one run on this machine:
#   SQLite, PEOPLE people (default 60,000) with 3 education, 3 position and
#   5 assessment lines each: the tool into a database with an index on every
#   mid, the tool into the same database without any index, and the Python
#   peer (xlrd + sqlite3, bench/peer_import.py) into the indexed one;
#   then the PostgreSQL figures of bench/run_pg_bench.sh.
# Each import runs RUNS times (default 3) in a process of its own; the
# fastest wall time is shown, with its CPU time and peak memory.
# Usage: bench/run_benchmarks.sh [PEOPLE]
set -euo pipefail
cd "$(dirname "$0")/.."
N=${1:-60000}
RUNS=${RUNS:-3}
BIN=build/bench/import_bench
CLI=build/cli/gzimport
if [ ! -x "$BIN" ] || [ ! -x "$CLI" ]; then
  [ -f build/build.ninja ] || cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build build --target import_bench gzimport
fi
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

/usr/bin/python3 bench/make_bench_workbook.py "$WORK" "$N"
BOOK_KB=$(du -k "$WORK/bench.xls" | cut -f1)

rows_stored() {
  /usr/bin/python3 -c "import sqlite3,sys; c=sqlite3.connect(sys.argv[1]); print(sum(c.execute(f'select count(*) from {t}').fetchone()[0] for t in ('ryjbxx','ryxl','ryrz','rykh')))" "$1"
}

# measure NAME DB PREPARE COMMAND...: the fastest of RUNS runs as
# "wall user peak_kb" in $WORK/NAME; PREPARE makes a fresh DB before each run.
measure() {
  local name=$1 db=$2 prepare=$3; shift 3
  local best=""
  for _ in $(seq "$RUNS"); do
    rm -f "$db"
    $prepare "$db"
    /usr/bin/time -f "%e %U %M" -o "$WORK/$name.run" "$@" >/dev/null
    if [ -z "$best" ] || awk -v a="$(cut -d' ' -f1 "$WORK/$name.run")" -v b="$(cut -d' ' -f1 <<<"$best")" 'BEGIN{exit !(a<b)}'; then
      best=$(cat "$WORK/$name.run")
    fi
  done
  echo "$best" >"$WORK/$name"
}
nothing() { :; }
init_db() { "$CLI" init-db "$1" >/dev/null; }

measure indexed "$WORK/indexed.db" nothing "$BIN" "$WORK/bench.xls" "$WORK/indexed.db" "$WORK/dm.txt"
measure noindex "$WORK/noindex.db" nothing "$BIN" "$WORK/bench.xls" "$WORK/noindex.db" "$WORK/dm.txt" --no-index
measure peer "$WORK/peer.db" init_db /usr/bin/python3 bench/peer_import.py "$WORK/bench.xls" "$WORK/peer.db" "$WORK/dm.txt" 01

echo
echo "SQLite: $N people, workbook $(awk -v k="$BOOK_KB" 'BEGIN{printf "%.1f", k/1024}') MB, $(nproc) cores, load $(cut -d' ' -f1 /proc/loadavg), fastest of $RUNS"
printf '  %-34s %8s %8s %9s %10s\n' "" "wall s" "cpu s" "peak MB" "rows"
row() {  # label name db
  read -r wall user kb <"$WORK/$2"
  printf '  %-34s %8.2f %8.2f %9.1f %10s\n' "$1" "$wall" "$user" "$(awk -v k="$kb" 'BEGIN{print k/1024}')" "$(rows_stored "$3")"
}
row "tool, index on every mid" indexed "$WORK/indexed.db"
row "tool, no index at all" noindex "$WORK/noindex.db"
row "python peer, index on every mid" peer "$WORK/peer.db"
read -r tool _ tool_kb <"$WORK/indexed"
read -r bare _ <"$WORK/noindex"
read -r peer _ <"$WORK/peer"
awk -v t="$tool" -v b="$bare" -v p="$peer" -v kb="$tool_kb" -v book="$BOOK_KB" 'BEGIN{
  printf "  tool %.2fx as fast as the peer; no index costs %.2fx the indexed time\n", p/t, b/t
  printf "  tool memory %.0f MB of a limit of %.0f MB (3 x workbook + 50 MB)\n", kb/1024, (3*book+50*1024)/1024 }'

echo
if [ -f bench/run_pg_bench.sh ]; then
  bash bench/run_pg_bench.sh
else
  echo "PostgreSQL: bench/run_pg_bench.sh is not there, so no PostgreSQL figures"
fi
