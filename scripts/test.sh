#!/usr/bin/env bash
# Installs what is needed, builds everything with warnings as errors and runs
# every test through CTest (the tests start and stop their own servers).
# Usage: scripts/test.sh [build-dir]
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build}

if [ "${MIRELO_SKIP_INSTALL:-0}" != 1 ]; then
  bash scripts/install-deps.sh
fi
source scripts/buildcache.sh

cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMIRELO_WERROR=ON
cmake --build "$BUILD" -j"$(nproc)"
cd "$BUILD"
ctest --output-on-failure -j2 --timeout 600
