#!/usr/bin/env bash
# Installs, builds and runs every test: the house style (layout and
# clang-tidy), unit and database tests on SQLite, the same database tests on
# a local PostgreSQL server (directly and through ODBC), the window tests
# offscreen, a short fuzzing run of every reader and of the decryption of
# encrypted packages, and the Debian package made from the build: installed,
# used and removed again.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
bash scripts/check-style.sh

# 40 s per fuzz target keeps the whole run well inside the CI budget.
bash scripts/fuzz.sh "${GZ_FUZZ_SECONDS:-40}"

# A throwaway PostgreSQL server on 127.0.0.1 for the database tests (directly
# and through ODBC); it is stopped again when ctest ends.
export QT_QPA_PLATFORM=offscreen
bash scripts/pg-test-server.sh run ctest --test-dir build --output-on-failure -j"$(nproc)" --timeout 600

# The Debian package of this build, checked as a user gets it. The package
# step's output goes on to this script's output as it comes (a log file this
# is redirected to is written on, not opened again) and is kept in the build
# folder, whose last line names the package.
bash scripts/package.sh build | tee build/package.log
deb=$(tail -n 1 build/package.log)
bash scripts/test_package.sh "$deb"
