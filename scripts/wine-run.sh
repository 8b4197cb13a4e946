#!/usr/bin/env bash
# Runs one program of the Windows build under Wine: CTest's emulator for the
# cross build (with --qtest), and the Windows pass's way to start the
# deployed program. The caller provides WINEPREFIX and DISPLAY (one warm
# prefix and one Xvfb per run, see scripts/windows.sh). Qt's windows
# platform: on the offscreen one a QApplication under Wine never returns
# from exec().
set -euo pipefail
WINE=${MIRELO_WINE:-/usr/lib/wine/wine64}
export WINEDEBUG=${WINEDEBUG:--all}
export QT_QPA_PLATFORM=windows
if [ "${1:-}" = --qtest ]; then
  shift
fi
# Without a console Qt Test logs to the debugger, not to stdout: a Qt Test
# program writes a file, shown here once the test ends.
if [ -n "${1:-}" ] && x86_64-w64-mingw32-objdump -p "$1" 2>/dev/null | grep -q 'DLL Name: Qt6Test.dll'; then
  log=$(mktemp --suffix=.txt)
  trap 'rm -f "$log"' EXIT
  set +e
  "$WINE" "$@" -o "$log,txt"
  rc=$?
  set -e
  cat "$log"
  exit "$rc"
fi
exec "$WINE" "$@"
