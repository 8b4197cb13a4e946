#!/usr/bin/env bash
# Builds every libFuzzer target with clang and runs each for a bounded time
# from its seed corpus. Usage: scripts/fuzz.sh [seconds-per-target]
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_EACH=${1:-20}
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DMIRELO_FUZZ=ON -DMIRELO_BUILD_BENCH=OFF
if [ ! -s build-fuzz/fuzzers.txt ]; then
  echo "no fuzz targets"; exit 0
fi
cmake --build build-fuzz -j"$(nproc)" --target mirelo_fuzzers
failed=0
while read -r name corpus; do
  [ -n "$name" ] || continue
  work=$(mktemp -d)
  [ -n "$corpus" ] && [ -d "$corpus" ] && cp -r "$corpus"/. "$work"/ 2>/dev/null || true
  echo "-- $name (${SECONDS_EACH}s)"
  if ! ASAN_OPTIONS=detect_leaks=0 QT_QPA_PLATFORM=offscreen build-fuzz/bin/"$name" -max_total_time="$SECONDS_EACH" \
       -rss_limit_mb=2048 -print_final_stats=0 "$work" >"$work.log" 2>&1; then
    echo "FUZZ FAILURE: $name"; tail -n 60 "$work.log"; failed=1
  else
    tail -n 1 "$work.log"
  fi
  rm -rf "$work" "$work.log"
done < build-fuzz/fuzzers.txt
exit $failed
