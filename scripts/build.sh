#!/usr/bin/env bash
# Configures and builds into build/ (Release-like, with debug info).
# Usage: scripts/build.sh            everything: the programs, the tests, the
#                                    benchmarks, the man pages and the rest
#                                    of the Debian package's files
#        scripts/build.sh programs   gzimport and gzimport-gui only; the
#                                    tests, benchmarks, fuzzers and package
#                                    files are not configured
# Each mode sets every option it depends on, so one build/ serves both.
set -euo pipefail
cd "$(dirname "$0")/.."
case "${1:-all}" in
  programs)
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGZ_BUILD_TESTS=OFF -DGZ_BUILD_BENCH=OFF \
      -DGZ_BUILD_FUZZERS=OFF -DGZ_BUILD_PACKAGE=OFF >/dev/null
    cmake --build build -j"$(nproc)" --target gzimport gzimport-gui
    ;;
  all)
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGZ_BUILD_TESTS=ON -DGZ_BUILD_BENCH=ON \
      -DGZ_BUILD_PACKAGE=ON >/dev/null
    cmake --build build -j"$(nproc)"
    ;;
  *) echo "usage: scripts/build.sh [programs]" >&2; exit 2 ;;
esac
