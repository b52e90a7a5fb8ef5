#!/usr/bin/env bash
# PostgreSQL import benchmark: a throwaway local server with its default
# settings (fsync on), one workbook of PEOPLE people (default 20000), and side
# by side in one run:
#   the tool (gzimport import) into the local server,
#   the psycopg2 peer (bench/peer_pg_import.py) into the same server,
#   the tool through bench/delay_proxy, which holds every chunk 1 ms each way,
#   the floor: the project's reader and the same rows sent with COPY in one
#   transaction, nothing else (bench/floor_bench),
#   and the server alone making the same number of rows with insert ...
#   select (no client, no workbook).
# Each run gets an empty database of its own. Prints wall time, rows stored
# and rows per second, the tool against the peer and the link against local.
#
# Usage: bench/run_pg_bench.sh [PEOPLE]
# The server lives in $GZ_PG_BENCH_DIR (default /tmp/gz-pg-bench) on port
# $GZ_PG_BENCH_PORT (default 54339); the proxy listens on that port + 100.
set -euo pipefail
cd "$(dirname "$0")/.."
N=${1:-20000}
TOOL=build/cli/gzimport
PROXY=build/bench/delay_proxy
FLOOR=build/bench/floor_bench
[ -x "$TOOL" ] && [ -x "$PROXY" ] && [ -x "$FLOOR" ] || cmake --build build --target gzimport delay_proxy floor_bench >&2

export GZ_PG_DIR="${GZ_PG_BENCH_DIR:-/tmp/gz-pg-bench}"
export GZ_PG_PORT="${GZ_PG_BENCH_PORT:-54339}"
export GZ_PG_FSYNC=on
PROXY_PORT=$((GZ_PG_PORT + 100))
WORK=$(mktemp -d)
# The runs' undo journal goes here, not into the operator's own.
export XDG_DATA_HOME="$WORK/data"
PROXY_PID=
cleanup() {
  [ -n "$PROXY_PID" ] && kill "$PROXY_PID" 2>/dev/null || true
  bash scripts/pg-test-server.sh stop >/dev/null 2>&1 || true
  rm -rf "$WORK"
}
trap cleanup EXIT

/usr/bin/python3 bench/make_bench_workbook.py "$WORK" "$N" >/dev/null
bash scripts/pg-test-server.sh start >/dev/null
SERVER="postgresql://postgres@127.0.0.1:${GZ_PG_PORT}"

# An empty database with the tables and the department "01".
fresh_database() {  # name
  /usr/bin/python3 - "$SERVER/gztest" "$1" <<'EOF'
import sys, psycopg2
con = psycopg2.connect(sys.argv[1]); con.autocommit = True
con.cursor().execute(f"drop database if exists {sys.argv[2]}")
con.cursor().execute(f"create database {sys.argv[2]}")
EOF
  "$TOOL" init-db "$SERVER/$1" >/dev/null
  /usr/bin/python3 - "$SERVER/$1" <<'EOF'
import sys, psycopg2
con = psycopg2.connect(sys.argv[1])
con.cursor().execute("insert into dm_jg (upid,px,jgdm,jgmc,jgjb) values (0,1,'01','bench','1')")
con.commit()
EOF
}

rows_stored() {  # name
  /usr/bin/python3 - "$SERVER/$1" <<'EOF'
import sys, psycopg2
cur = psycopg2.connect(sys.argv[1]).cursor()
total = 0
for table in ("ryjbxx", "ryxl", "ryrz", "rykh"):
    cur.execute(f"select count(*) from {table}")
    total += cur.fetchone()[0]
print(total)
EOF
}

# Wall seconds of a command; its output goes to $WORK/NAME.log.
seconds() {  # name, command...
  local name=$1; shift
  local start end
  start=$(date +%s.%N)
  "$@" >"$WORK/$name.log" 2>&1 || { echo "$name failed:" >&2; tail -5 "$WORK/$name.log" >&2; exit 1; }
  end=$(date +%s.%N)
  echo "$end - $start" | bc -l
}

# The same rows as the tool stores, made by the server from generate_series.
server_alone() {  # name, people
  /usr/bin/python3 - "$SERVER/$1" "$2" <<'EOF'
import sys, psycopg2
con = psycopg2.connect(sys.argv[1]); cur = con.cursor(); n = int(sys.argv[2])
cur.execute("insert into ryjbxx (bm,xm,jkzk,jxqyf,grsf,csny,gzsj) select '01', '张三'||g, '10', 12, '干部', "
            "'1965-03-01', '1985-08-01' from generate_series(1,%s) g", (n,))
cur.execute("insert into ryxl (mid,xxxs,xlrq,xldm) select id, '全日制', '1985-07-01', '21' from ryjbxx, "
            "generate_series(1,3)")
cur.execute("insert into ryrz (mid,rzrq,rzzwdm,gzzwdm) select id, '1990-07-01', '31', '31' from ryjbxx, "
            "generate_series(1,3)")
cur.execute("insert into rykh (mid,khnd,khjg) select id, 2005+g, 1 from ryjbxx, generate_series(1,5) g")
con.commit()
EOF
}

fresh_database tool
fresh_database peer
fresh_database linked
fresh_database floor
fresh_database copyfloor

"$PROXY" "$PROXY_PORT" 127.0.0.1 "$GZ_PG_PORT" 1000 >"$WORK/proxy.log" 2>&1 &
PROXY_PID=$!
for _ in $(seq 50); do grep -q listening "$WORK/proxy.log" && break; sleep 0.1; done

t_tool=$(seconds tool "$TOOL" import --db "$SERVER/tool" --dept 01 --codes "$WORK/dm.txt" "$WORK/bench.xls")
t_peer=$(seconds peer /usr/bin/python3 bench/peer_pg_import.py "$WORK/bench.xls" "$SERVER/peer" "$WORK/dm.txt" 01)
t_link=$(seconds linked "$TOOL" import --db "postgresql://postgres@127.0.0.1:${PROXY_PORT}/linked" --dept 01 \
  --codes "$WORK/dm.txt" "$WORK/bench.xls")

t_copy=$(seconds copyfloor "$FLOOR" postgres "$WORK/bench.xls" "$SERVER/copyfloor" "$WORK/dm.txt")
t_floor=$(seconds floor server_alone floor "$N")

r_tool=$(rows_stored tool)
r_peer=$(rows_stored peer)
r_link=$(rows_stored linked)
r_floor=$(rows_stored floor)
r_copy=$(rows_stored copyfloor)

echo "PostgreSQL, local server with default settings (fsync on), $N people:"
printf '  %-30s %7.2f s  %8d rows  %8.0f rows/s\n' "tool" "$t_tool" "$r_tool" "$(echo "$r_tool / $t_tool" | bc -l)"
printf '  %-30s %7.2f s  %8d rows  %8.0f rows/s\n' "psycopg2 peer" "$t_peer" "$r_peer" "$(echo "$r_peer / $t_peer" | bc -l)"
printf '  %-30s %7.2f s  %8d rows  %8.0f rows/s\n' "tool, 1 ms each way (proxy)" "$t_link" "$r_link" \
  "$(echo "$r_link / $t_link" | bc -l)"
printf '  %-30s %7.2f s  %8d rows  %8.0f rows/s\n' "floor: reader + COPY" "$t_copy" "$r_copy" \
  "$(echo "$r_copy / $t_copy" | bc -l)"
printf '  %-30s %7.2f s  %8d rows  %8.0f rows/s\n' "server alone (insert...select)" "$t_floor" "$r_floor" \
  "$(echo "$r_floor / $t_floor" | bc -l)"
printf '  the tool is %.2fx the COPY floor and %.1fx as fast as the peer; the 1 ms link costs %.2fx the local time\n' \
  "$(echo "$t_tool / $t_copy" | bc -l)" "$(echo "$t_peer / $t_tool" | bc -l)" "$(echo "$t_link / $t_tool" | bc -l)"
