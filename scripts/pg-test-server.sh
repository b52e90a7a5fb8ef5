#!/usr/bin/env bash
# A throwaway PostgreSQL server for the database tests, on 127.0.0.1 only.
#
#   scripts/pg-test-server.sh start        install if needed, start, print the URL
#   scripts/pg-test-server.sh env          print export lines for the tests
#   scripts/pg-test-server.sh stop         stop the server and remove its files
#   scripts/pg-test-server.sh run CMD...   start, run CMD with the test variables set, stop
#
# The cluster lives in $GZ_PG_DIR (default /tmp/gz-pg-test) with trust
# authentication; the port is $GZ_PG_PORT (default 54329); the database is gztest.
# Tests run without waiting for the disk; GZ_PG_FSYNC=on keeps the server's
# default (the benchmarks).
set -euo pipefail

DIR="${GZ_PG_DIR:-/tmp/gz-pg-test}"
PORT="${GZ_PG_PORT:-54329}"
FSYNC="${GZ_PG_FSYNC:-off}"
DB=gztest
URL="postgresql://postgres@127.0.0.1:${PORT}/${DB}"
ODBC_DRIVER="PostgreSQL Unicode"
ODBC="odbc:Driver={${ODBC_DRIVER}};Server=127.0.0.1;Port=${PORT};Database=${DB};Uid=postgres;"

pg_bin() {
  local bin
  bin="$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1 || true)"
  [ -n "$bin" ] && [ -x "$bin/pg_ctl" ] && echo "$bin"
}

# The packages come from the project's one setup script.
install_server() {
  if [ -z "$(pg_bin)" ] || ! odbcinst -q -d -n "$ODBC_DRIVER" >/dev/null 2>&1; then
    echo "pg-test-server: installing the project's packages" >&2
    bash "$(dirname "${BASH_SOURCE[0]}")/setup.sh" >&2
  fi
}

# The server refuses to run as root, so root runs it as the postgres user.
as_owner() {
  if [ "$(id -u)" -eq 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi
}

is_running() {
  local bin
  bin="$(pg_bin)" || return 1
  [ -f "$DIR/data/postmaster.pid" ] && as_owner "$bin/pg_ctl" -D "$DIR/data" status >/dev/null 2>&1
}

start() {
  install_server
  local bin
  bin="$(pg_bin)" || { echo "pg-test-server: no PostgreSQL server binaries found" >&2; exit 1; }
  if ! is_running; then
    rm -rf "$DIR"
    mkdir -p "$DIR"
    if [ "$(id -u)" -eq 0 ]; then chown postgres: "$DIR"; fi
    as_owner "$bin/initdb" -D "$DIR/data" -U postgres -A trust -E UTF8 --no-locale >"$DIR/initdb.log" 2>&1 ||
      { cat "$DIR/initdb.log" >&2; exit 1; }
    as_owner "$bin/pg_ctl" -D "$DIR/data" -l "$DIR/server.log" -w -t 60 \
      -o "-p $PORT -k $DIR -c listen_addresses=127.0.0.1 -c fsync=$FSYNC" start >/dev/null ||
      { cat "$DIR/server.log" >&2; exit 1; }
    as_owner "$bin/createdb" -h 127.0.0.1 -p "$PORT" -U postgres "$DB"
  fi
  echo "$URL"
}

stop() {
  local bin
  if bin="$(pg_bin)" && [ -f "$DIR/data/postmaster.pid" ]; then
    as_owner "$bin/pg_ctl" -D "$DIR/data" -m fast -w stop >/dev/null 2>&1 || true
  fi
  rm -rf "$DIR"
}

print_env() {
  echo "export GZ_TEST_PG_URL='$URL'"
  echo "export GZ_TEST_ODBC='$ODBC'"
}

case "${1:-}" in
  start) start ;;
  stop) stop ;;
  env) print_env ;;
  run)
    shift
    start >/dev/null
    trap stop EXIT
    eval "$(print_env)"
    "$@"
    ;;
  *)
    echo "usage: $0 start|stop|env|run COMMAND..." >&2
    exit 2
    ;;
esac
