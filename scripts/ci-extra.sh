#!/usr/bin/env bash
# The CI passes beyond the plain test run: every test (real servers, TLS and
# overlong replies included) under AddressSanitizer and
# UndefinedBehaviorSanitizer, a short run of every fuzzer, a compile of the
# Windows platform files with the MinGW-w64 cross compiler, and the Debian
# package.
set -euo pipefail
cd "$(dirname "$0")/.."

echo "== sanitizer pass"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DMIRELO_SANITIZE=ON -DMIRELO_WERROR=ON -DMIRELO_BUILD_BENCH=OFF
cmake --build build-asan -j"$(nproc)"
( cd build-asan && ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --output-on-failure -j2 --timeout 900 )

echo "== fuzzing pass"
bash scripts/fuzz.sh "${MIRELO_FUZZ_SECONDS:-20}"

if [ -f scripts/mingw-check.sh ]; then
  echo "== MinGW-w64 compile of the Windows platform files"
  bash scripts/mingw-check.sh
fi

echo "== Debian package"
bash scripts/package.sh build
