#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a fixed time
# (seconds, default 60) on its committed seed corpus. Findings fail the run.
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_EACH=${1:-60}
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DGZ_BUILD_FUZZERS=ON -DGZ_BUILD_GUI=OFF -DGZ_BUILD_TESTS=OFF -DGZ_BUILD_BENCH=OFF >/dev/null
cmake --build build-fuzz -j"$(nproc)" --target $(cd fuzz && ls *_fuzzer.cpp | sed 's/\.cpp$//')
# Leaks inside libgsf's own compound-file error paths are suppressed by name;
# for the .xls fuzzer allocation stacks are unwound fully (slower) so that
# the names can be seen.
export LSAN_OPTIONS="suppressions=$PWD/fuzz/lsan.supp:print_suppressions=0"
for src in fuzz/*_fuzzer.cpp; do
  name=$(basename "$src" .cpp)
  corpus=fuzz/corpus/${name%_fuzzer}
  work=$(mktemp -d)
  cp -r "$corpus"/. "$work"/ 2>/dev/null || true
  echo "== $name: ${SECONDS_EACH}s =="
  log="$work.log"
  unwind=1
  [ "$name" = xls_fuzzer ] && unwind=0
  if ! ASAN_OPTIONS="fast_unwind_on_malloc=$unwind" build-fuzz/fuzz/$name -max_total_time="$SECONDS_EACH" -rss_limit_mb=2048 -timeout=10 \
      -artifact_prefix="$work/" "$work" >"$log" 2>&1; then
    tail -n 80 "$log"
    echo "$name found a problem; the input that shows it:"
    ls "$work"/crash-* "$work"/timeout-* "$work"/oom-* "$work"/leak-* 2>/dev/null || true
    exit 1
  fi
  grep -E "^Done [0-9]+ runs" "$log" || tail -n 1 "$log"
  rm -rf "$work" "$log"
done
