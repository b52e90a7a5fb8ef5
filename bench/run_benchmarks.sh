#!/usr/bin/env bash
# The import benchmarks, side by side in one run on this machine, on two
# workbooks of PEOPLE people (default 60,000) with 3 education, 3 position and
# 5 assessment lines each: the plain one, and one whose every row reports a
# line (its first education line has no code). For each:
#   the tool (gzimport import, its output going to a file) into a database
#   with an index on every mid, and into one without any index, both keeping
#   the undo journal as every run does; the tool with --no-journal;
#   the import engine alone (bench/import_bench, no output at all);
#   the floor (bench/floor_bench): the project's reader and the same rows
#   stored with prepared inserts in one transaction, nothing else;
#   the Python peer (xlrd + sqlite3, bench/peer_import.py), indexed;
# then the PostgreSQL figures of bench/run_pg_bench.sh.
# Each import runs RUNS times (default 5) in a process of its own, the imports
# taking turns, so that a spell of a busier machine slows each of them alike;
# the fastest wall time is shown, with its CPU time (user + system) and peak
# memory.
# Usage: bench/run_benchmarks.sh [PEOPLE]
set -euo pipefail
cd "$(dirname "$0")/.."
N=${1:-60000}
RUNS=${RUNS:-5}
BIN=build/bench/import_bench
FLOOR=build/bench/floor_bench
CLI=build/cli/gzimport
if [ ! -x "$BIN" ] || [ ! -x "$CLI" ] || [ ! -x "$FLOOR" ]; then
  [ -f build/build.ninja ] || cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build build --target import_bench floor_bench gzimport
fi
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
# The runs' undo journal goes here, not into the operator's own.
export XDG_DATA_HOME="$WORK/data"

/usr/bin/python3 bench/make_bench_workbook.py "$WORK/plain" "$N"
/usr/bin/python3 bench/make_bench_workbook.py --line-without-code "$WORK/lines" "$N"

sql() {  # db, statement: prints the first column of the first row
  /usr/bin/python3 -c "import sqlite3,sys; c=sqlite3.connect(sys.argv[1]); r=c.execute(sys.argv[2]).fetchone(); c.commit(); print(r[0] if r else '')" "$1" "$2"
}
rows_stored() {
  sql "$1" "select (select count(*) from ryjbxx)+(select count(*) from ryxl)+(select count(*) from ryrz)+(select count(*) from rykh)"
}

# measure NAME DB PREPARE COMMAND...: one run, the fastest so far kept as
# "wall cpu peak_kb" in $WORK/NAME; PREPARE makes a fresh DB before it.
# The command's output goes to a file, as a scheduled import's would.
measure() {
  local name=$1 db=$2 prepare=$3; shift 3
  rm -f "$db"
  $prepare "$db"
  /usr/bin/time -f "%e %U %S %M" -o "$WORK/$name.run" "$@" >"$WORK/$name.out" 2>&1
  awk '{print $1, $2 + $3, $4}' "$WORK/$name.run" >"$WORK/$name.cpu" && mv "$WORK/$name.cpu" "$WORK/$name.run"
  cut -d' ' -f1 "$WORK/$name.run" >>"$WORK/$name.walls"
  if [ ! -f "$WORK/$name" ] || awk -v a="$(cut -d' ' -f1 "$WORK/$name.run")" -v b="$(cut -d' ' -f1 "$WORK/$name")" 'BEGIN{exit !(a<b)}'; then
    cp "$WORK/$name.run" "$WORK/$name"
  fi
}
nothing() { :; }
init_db() {
  "$CLI" init-db "$1" >/dev/null
  sql "$1" "insert into dm_jg (upid,px,jgdm,jgmc,jgjb) values (0,1,'01','bench','1')" >/dev/null
}
init_db_without_index() {
  init_db "$1"
  for index in $(/usr/bin/python3 -c "import sqlite3,sys; print(' '.join(r[0] for r in sqlite3.connect(sys.argv[1]).execute(\"select name from sqlite_master where type='index' and sql is not null\")))" "$1"); do
    sql "$1" "drop index $index" >/dev/null
  done
}

row() {  # label name db
  read -r wall cpu kb <"$WORK/$2"
  printf '  %-40s %8.2f %8.2f %9.1f %10s\n' "$1" "$wall" "$cpu" "$(awk -v k="$kb" 'BEGIN{print k/1024}')" "$(rows_stored "$3")"
}

# One run of each import of the workbook BOOK, the tool's with and without
# the journal one after the other.
measure_book() {
  local book=$1 dir="$WORK/$1"
  measure "$book-tool" "$dir/tool.db" init_db \
    "$CLI" import --db "$dir/tool.db" --dept 01 --codes "$dir/dm.txt" "$dir/bench.xls"
  measure "$book-nojournal" "$dir/nojournal.db" init_db \
    "$CLI" import --no-journal --db "$dir/nojournal.db" --dept 01 --codes "$dir/dm.txt" "$dir/bench.xls"
  measure "$book-noindex" "$dir/noindex.db" init_db_without_index \
    "$CLI" import --db "$dir/noindex.db" --dept 01 --codes "$dir/dm.txt" "$dir/bench.xls"
  measure "$book-engine" "$dir/engine.db" nothing "$BIN" "$dir/bench.xls" "$dir/engine.db" "$dir/dm.txt"
  measure "$book-floor" "$dir/floor.db" init_db "$FLOOR" sqlite "$dir/bench.xls" "$dir/floor.db" "$dir/dm.txt"
  measure "$book-peer" "$dir/peer.db" init_db /usr/bin/python3 bench/peer_import.py "$dir/bench.xls" "$dir/peer.db" \
    "$dir/dm.txt" 01
}

for _ in $(seq "$RUNS"); do
  for book in plain lines; do measure_book "$book"; done
done

echo
echo "SQLite: $N people, $(nproc) cores, load $(cut -d' ' -f1 /proc/loadavg), fastest of $RUNS"
for book in plain lines; do
  dir="$WORK/$book"
  book_kb=$(du -k "$dir/bench.xls" | cut -f1)
  if [ "$book" = plain ]; then title="the bench workbook"; else title="every row reports a line"; fi
  echo "  $title ($(awk -v k="$book_kb" 'BEGIN{printf "%.1f", k/1024}') MB, $(grep -c . "$WORK/$book-tool.out" || true) output lines):"
  printf '  %-40s %8s %8s %9s %10s\n' "" "wall s" "cpu s" "peak MB" "rows"
  row "tool (gzimport import), index on mid" "$book-tool" "$dir/tool.db"
  row "tool, no index at all" "$book-noindex" "$dir/noindex.db"
  row "tool --no-journal, index on mid" "$book-nojournal" "$dir/nojournal.db"
  row "import engine alone, no output" "$book-engine" "$dir/engine.db"
  row "floor: reader + prepared inserts" "$book-floor" "$dir/floor.db"
  row "python peer, index on mid" "$book-peer" "$dir/peer.db"
  read -r t _ t_kb <"$WORK/$book-tool"
  read -r b _ <"$WORK/$book-noindex"
  read -r f _ <"$WORK/$book-floor"
  read -r p _ <"$WORK/$book-peer"
  read -r n _ <"$WORK/$book-nojournal"
  awk -v t="$t" -v b="$b" -v f="$f" -v p="$p" -v n="$n" -v kb="$t_kb" -v book="$book_kb" 'BEGIN{
    printf "  tool %.2fx the floor, %.2fx as fast as the peer; no index costs %.2fx the indexed time\n", t/f, p/t, b/t
    printf "  without the journal %.2fx the floor, %.2fx as fast as the peer\n", n/f, p/n
    printf "  the journal costs %+.0f%%: %.2f s with it, %.2f s with --no-journal (%.2fx)\n", (t/n-1)*100, t, n, t/n
    printf "  tool memory %.0f MB of a limit of %.0f MB (3 x workbook + 50 MB)\n", kb/1024, (3*book+50*1024)/1024 }'
  # Each round's two runs follow each other: their ratio, the median of the rounds.
  paste -d' ' "$WORK/$book-tool.walls" "$WORK/$book-nojournal.walls" | awk '{print $1 / $2}' | sort -g |
    awk '{r[NR] = $1} END {m = NR % 2 ? r[(NR + 1) / 2] : (r[NR / 2] + r[NR / 2 + 1]) / 2
      printf "  the journal costs %+.0f%% in the median round (its runs with and without it one after the other, %d rounds)\n", (m - 1) * 100, NR}'
done

echo
if [ -f bench/run_pg_bench.sh ]; then
  bash bench/run_pg_bench.sh
else
  echo "PostgreSQL: bench/run_pg_bench.sh is not there, so no PostgreSQL figures"
fi

echo
bash bench/run_export_bench.sh "$N"
