#!/usr/bin/env bash
# Installs, builds and runs every test: unit and database tests on SQLite,
# the same database tests on a local PostgreSQL server (directly and through
# ODBC), the window tests offscreen, and a short fuzzing run of both readers.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh

bash scripts/fuzz.sh "${GZ_FUZZ_SECONDS:-60}"

PG_URL=$(bash scripts/pg-test-server.sh start)
trap 'bash scripts/pg-test-server.sh stop >/dev/null 2>&1 || true' EXIT
export GZ_TEST_PG_URL="$PG_URL"
export GZ_TEST_ODBC="odbc:Driver={PostgreSQL Unicode};Server=127.0.0.1;Port=54329;Database=gztest;Uid=postgres;"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure -j"$(nproc)" --timeout 600
