#!/usr/bin/env bash
# Runs one program of the Windows build under Wine: CTest's emulator for the
# cross build, and the Windows pass's way to start the deployed program.
# The caller provides WINEPREFIX and DISPLAY (one warm prefix and one Xvfb
# per run, see scripts/windows.sh). Qt's windows platform: on the offscreen
# one a QApplication under Wine never returns from exec().
set -euo pipefail
WINE=${MIRELO_WINE:-/usr/lib/wine/wine64}
export WINEDEBUG=${WINEDEBUG:--all}
export QT_QPA_PLATFORM=windows
# The DLLs: the build's bin folder holds them (windows.sh deploys there).
exec "$WINE" "$@"
