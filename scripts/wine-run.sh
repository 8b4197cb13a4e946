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
# program writes a file, shown here once the test ends. (grep reads all of
# objdump's output: with -q objdump could die of SIGPIPE, and pipefail would
# then take the program for one without Qt Test.)
if [ -n "${1:-}" ] && x86_64-w64-mingw32-objdump -p "$1" 2>/dev/null | grep 'DLL Name: Qt6Test.dll' >/dev/null; then
  log=$(mktemp --suffix=.txt)
  out=$(mktemp)
  trap 'rm -f "$log" "$out"' EXIT
  set +e
  # The program's own output goes to a file, not to the caller's pipe: a
  # child it leaves running (a PowerShell under Wine) would hold that pipe
  # open, and CTest would wait on it to its time limit.
  "$WINE" "$@" -o "$log,txt" >"$out" 2>&1 </dev/null &
  pid=$!
  # Under Wine some test programs do not end after their last case (the
  # process hangs in its exit). Once the log is finished the program gets
  # 10 s to end; then it is stopped and its result read from the log.
  hung=0
  while kill -0 "$pid" 2>/dev/null; do
    if grep -q '^\*\*\*\*\*\*\*\*\* Finished testing of' "$log" 2>/dev/null; then
      for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
      if kill -0 "$pid" 2>/dev/null; then
        hung=1
        kill -KILL "$pid" 2>/dev/null
      fi
      break
    fi
    sleep 0.2
  done
  wait "$pid"
  rc=$?
  set -e
  cat "$out" "$log"
  if [ "$hung" = 1 ]; then
    echo "wine-run: the program did not end after its log was finished; stopped, result taken from the log"
    failed=$(sed -n 's/^Totals: [0-9]* passed, \([0-9]*\) failed.*/\1/p' "$log" | tail -1)
    [ "${failed:-1}" = 0 ] && rc=0 || rc=1
  fi
  exit "$rc"
fi
exec "$WINE" "$@"
