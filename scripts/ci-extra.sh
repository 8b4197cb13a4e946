#!/usr/bin/env bash
# The CI passes beyond the plain test run: every test (real servers, TLS and
# overlong replies included) under AddressSanitizer and
# UndefinedBehaviorSanitizer, a short run of every fuzzer, the Windows pass
# (cross build, deployable folder, tests under Wine, installer) and the
# Debian package.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/buildcache.sh

echo "== sanitizer pass"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DMIRELO_SANITIZE=ON -DMIRELO_WERROR=ON -DMIRELO_BUILD_BENCH=OFF
cmake --build build-asan -j"$(nproc)"
( cd build-asan && ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --output-on-failure -j2 --timeout 900 )

echo "== fuzzing pass"
bash scripts/fuzz.sh "${MIRELO_FUZZ_SECONDS:-20}"

echo "== Windows pass"
win_start=$(date +%s)
bash scripts/windows.sh all
echo "== Windows pass took $(( $(date +%s) - win_start )) s"

echo "== Debian package"
bash scripts/package.sh build
