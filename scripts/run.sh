#!/usr/bin/env bash
# Installs what is needed, builds the program and starts it on its embedded
# defaults. Without a display it runs under a virtual X server (Xvfb).
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "${MIRELO_SKIP_INSTALL:-0}" != 1 ]; then
  bash scripts/install-deps.sh
fi
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMIRELO_BUILD_TESTS=OFF -DMIRELO_BUILD_BENCH=OFF
cmake --build build -j"$(nproc)" --target mireloplus
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "[run] no display: starting the program under Xvfb (screen :99)" >&2
  exec xvfb-run -n 99 -s "-screen 0 1400x900x24" build/bin/mireloplus "$@"
fi
exec build/bin/mireloplus "$@"
