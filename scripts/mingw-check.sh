#!/usr/bin/env bash
# Compiles every Windows platform file (*_win.cpp) of the repository with the
# MinGW-w64 cross compiler, warnings as errors. These files need no Qt, so a
# plain cross compile proves the Windows layer builds. A file that fails
# fails the check; none is skipped.
set -euo pipefail
cd "$(dirname "$0")/.."

CXX="${MINGW_CXX:-x86_64-w64-mingw32-g++}"
if ! command -v "$CXX" >/dev/null 2>&1; then
  echo "mingw-check: $CXX not found (Debian package g++-mingw-w64-x86-64)" >&2
  exit 1
fi

if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  mapfile -t files < <(git ls-files -co --exclude-standard -- '*_win.cpp' | sort)
else
  mapfile -t files < <(find . -name '*_win.cpp' -not -path './build*' -printf '%P\n' | sort)
fi
if [ "${#files[@]}" -eq 0 ]; then
  echo "mingw-check: no *_win.cpp files found" >&2
  exit 1
fi

out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT
failed=0
for f in "${files[@]}"; do
  if "$CXX" -std=c++17 -Wall -Wextra -Werror -I. -c "$f" -o "$out/$(echo "$f" | tr / _).o"; then
    echo "ok     $f"
  else
    echo "FAILED $f"
    failed=1
  fi
done
exit "$failed"
