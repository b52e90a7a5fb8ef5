#!/usr/bin/env bash
# Installs, builds and runs every test: the house style (layout and
# clang-tidy), unit and database tests on SQLite, the same database tests on
# a local PostgreSQL server (directly and through ODBC), the window tests
# offscreen, and a short fuzzing run of both readers.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
bash scripts/check-style.sh

bash scripts/fuzz.sh "${GZ_FUZZ_SECONDS:-60}"

# A throwaway PostgreSQL server on 127.0.0.1 for the database tests (directly
# and through ODBC); it is stopped again when ctest ends.
export QT_QPA_PLATFORM=offscreen
bash scripts/pg-test-server.sh run ctest --test-dir build --output-on-failure -j"$(nproc)" --timeout 600
