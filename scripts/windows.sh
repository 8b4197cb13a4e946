#!/usr/bin/env bash
# The Windows pass: cross-builds the program, its tools and its tests with
# the MinGW-w64 SDK beside the repository (../shared/winsdk), warnings as
# errors; makes the deployable folder and checks it for missing DLLs; runs
# the tests under Wine on a private Xvfb with Qt's windows platform; builds
# the per-user installer and the portable ZIP and installs, starts and
# uninstalls the installer under Wine.
# Usage: scripts/windows.sh [build|deploy|test|installer|all|bench] (default all; bench is
# not part of all)
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
BUILD=${MIRELO_WIN_BUILD:-$ROOT/build-win}
SDK_TAR=${MIRELO_WINSDK_TAR:-$ROOT/../shared/winsdk/mirelo-winsdk.tar.xz}
SDK=$BUILD/sdk/mirelo-winsdk
TREE=$BUILD/tree
DEPLOY=$BUILD/MireloPlus
JOBS=${MIRELO_JOBS:-2}
STEP=${1:-all}
export WINEPREFIX=${WINEPREFIX:-$BUILD/wineprefix}
export WINEDEBUG=-all
WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver64
[ -x "$WINESERVER" ] || WINESERVER=/usr/lib/wine/wineserver
GCC_RUNTIME=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-libgcc-file-name)")
RUNTIME_DIRS=("$SDK/bin" "$GCC_RUNTIME" /usr/x86_64-w64-mingw32/lib)
PROGRAMS=(mireloplus mirelo-clouddb mirelo-peer mirelo-inspect)

version() { sed -n 's/^project(MireloPlus VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt; }

step_build() {
  if [ ! -f "$SDK/mingw-w64-x86_64.cmake" ] || [ "$SDK_TAR" -nt "$SDK/mingw-w64-x86_64.cmake" ]; then
    echo "windows: unpacking $SDK_TAR"
    rm -rf "$BUILD/sdk"
    mkdir -p "$BUILD/sdk"
    tar -xJf "$SDK_TAR" -C "$BUILD/sdk"
    touch "$SDK/mingw-w64-x86_64.cmake"
  fi
  # Boost is header-only: the cross build sees Debian's boost headers and
  # nothing else of /usr/include.
  mkdir -p "$BUILD/boost-include"
  ln -sfn /usr/include/boost "$BUILD/boost-include/boost"

  # Release without debug info keeps the cold build short; CTest starts
  # every test through Wine.
  cmake -S . -B "$TREE" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$SDK/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DMIRELO_WERROR=ON -DMIRELO_BUILD_BENCH=OFF \
    -DBoost_INCLUDE_DIR="$BUILD/boost-include" -DBoost_NO_SYSTEM_PATHS=ON \
    -DCMAKE_CROSSCOMPILING_EMULATOR="$ROOT/scripts/wine-run.sh;--qtest"
  cmake --build "$TREE" -j"$JOBS"
}

step_deploy() {
  local exes=()
  for p in "${PROGRAMS[@]}"; do exes+=("$TREE/bin/$p.exe"); done
  rm -rf "$DEPLOY"
  local search=()
  for d in "${RUNTIME_DIRS[@]}"; do search+=(--search "$d"); done
  python3 scripts/windeploy.py deploy "$DEPLOY" "${exes[@]}" "${search[@]}" --plugins "$SDK/plugins"
  # The tests run from the build's bin folder: the same DLLs beside them.
  python3 scripts/windeploy.py deploy "$TREE/bin" "${search[@]}" --plugins "$SDK/plugins"
}

# One Xvfb and one warm Wine prefix for the whole run.
start_session() {
  mkdir -p "$BUILD"
  Xvfb -displayfd 1 -screen 0 1280x1024x24 -nolisten tcp >"$BUILD/xvfb.display" 2>"$BUILD/xvfb.log" &
  XVFB_PID=$!
  for _ in $(seq 100); do [ -s "$BUILD/xvfb.display" ] && break; sleep 0.1; done
  export DISPLAY=":$(head -1 "$BUILD/xvfb.display")"
  trap stop_session EXIT
  # A persistent server keeps the prefix warm between the programs; it
  # needs the prefix's folder to exist before wineboot fills it.
  mkdir -p "$WINEPREFIX"
  "$WINESERVER" -p
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "windows: making the Wine prefix"
    "$WINE" wineboot -i >/dev/null 2>&1
  fi
}

# The Linux servers of the tests (Dovecot, aiosmtpd, the OAuth server) are
# started for the Windows programs by the host agent: a Wine process cannot
# wait on a Unix child.
start_agent() {
  rm -f "$BUILD/agent.port"
  /usr/bin/python3 servers/hostagent.py --port-file "$BUILD/agent.port" 2>"$BUILD/agent.log" &
  AGENT_PID=$!
  for _ in $(seq 100); do [ -s "$BUILD/agent.port" ] && break; sleep 0.1; done
  [ -s "$BUILD/agent.port" ] || { echo "windows: the host agent did not start" >&2; cat "$BUILD/agent.log" >&2; exit 1; }
  export MIRELO_HOST_AGENT="127.0.0.1:$(cat "$BUILD/agent.port")"
}

stop_session() {
  [ -n "${AGENT_PID:-}" ] && kill "$AGENT_PID" 2>/dev/null || true
  "$WINESERVER" -k 2>/dev/null || true
  [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null || true
}

# The throw-away CA and localhost certificate of servers/tlsfixture.cpp,
# made here: a test under Wine cannot run the host's openssl itself.
make_tls_set() {
  local d=$BUILD/tls
  rm -rf "$d"; mkdir -p "$d"
  ( cd "$d"
    printf 'basicConstraints=CA:FALSE\nsubjectAltName=DNS:localhost,IP:127.0.0.1\nextendedKeyUsage=serverAuth\nkeyUsage=digitalSignature,keyEncipherment\n' >server.ext
    openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -keyout ca.key -out ca.crt -days 3 \
      -subj "/CN=MIRELO test CA" -addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign,cRLSign
    openssl req -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -keyout server.key -out server.csr -subj /CN=localhost
    openssl x509 -req -in server.csr -CA ca.crt -CAkey ca.key -CAcreateserial -out server.crt -days 3 -extfile server.ext
  ) >/dev/null 2>&1
  export MIRELO_TLS_FIXTURE_DIR=$d
}

# Tests that cannot run under Wine, with the reason (named in the README):
# the scripted TLS servers of the transport fakes are Schannel servers, and
# Wine's Schannel (GnuTLS) does not complete a server handshake with them.
WINE_CANNOT='test_transport_(imapfake|idlefake|idlefetch|smtpfake)'
WINE_EXCLUDED="^($WINE_CANNOT)\$"
# The tests of the host's servers and programs (through the agent) run one
# at a time: two of them at once under Wine stalled past their limits. So do
# the tests that use the clipboard: there is one for the Wine session, as for
# a Windows desktop, and a test holding it made another's copy fail.
WINE_SERIAL='^(app_windowflow|app_mainwindow|tst_desktop_typer|tst_desktop_win32|tst_hostprocess|tst_qrwidget|tst_qrdecoder|tst_vaultpage|test_vault_(import|export|sealedbox)|tst_mailstorepoll|tst_oauthflow|tst_accountsdovecot|router_afteruse_imap|test_transport_(imapdovecot|smtpserver|imapclient|idledovecot|oauthsessions)|e2e_.*)$'

step_test() {
  make_tls_set
  start_session
  start_agent
  ( cd "$TREE" && ctest --output-on-failure -j2 --timeout 300 -E "$WINE_EXCLUDED|$WINE_SERIAL" ${MIRELO_WIN_CTEST_ARGS:-} )
  ( cd "$TREE" && ctest --output-on-failure -j1 --timeout 300 -R "$WINE_SERIAL" -E "$WINE_EXCLUDED" ${MIRELO_WIN_CTEST_ARGS:-} )
}

step_installer() {
  local v out zipdir
  v=$(version)
  out="$BUILD/out"
  rm -rf "$out"
  mkdir -p "$out"
  python3 scripts/windeploy.py check "$DEPLOY"
  # The uninstaller deletes exactly what was installed.
  ( cd "$DEPLOY"
    find . -type f | sed 's|^\./||; s|/|\\|g' | sort | sed 's|^|  Delete "$INSTDIR\\|; s|$|"|'
    find . -mindepth 1 -type d | sed 's|^\./||; s|/|\\|g' | sort -r | sed 's|^|  RMDir "$INSTDIR\\|; s|$|"|'
  ) >"$out/files.nsh"
  # After copying, the installer checks that every program and DLL is there.
  ( cd "$DEPLOY"
    find . -type f \( -name '*.exe' -o -name '*.dll' \) | sed 's|^\./||; s|/|\\|g' | sort |
      sed 's|^|  !insertmacro NeedFile "|; s|$|"|'
  ) >"$out/needed.nsh"
  makensis -V2 -DVERSION="$v" -DSOURCE="$DEPLOY" -DFILELIST="$out/files.nsh" -DNEEDED="$out/needed.nsh" \
    -DOUTFILE="$out/MireloPlus-$v-setup.exe" installer/mireloplus.nsi
  zipdir="$out/zip/MireloPlus-$v"
  mkdir -p "$zipdir"
  cp -r "$DEPLOY"/. "$zipdir"
  ( cd "$out/zip" && zip -qr "../MireloPlus-$v-portable.zip" "MireloPlus-$v" )
  rm -rf "$out/zip"

  start_session
  local home target
  home=$("$WINE" cmd /c echo %LOCALAPPDATA% 2>/dev/null | tr -d '\r')
  target=$("$WINE" winepath -u "$home\\Programs\\MIRELO+" 2>/dev/null | tr -d '\r')
  echo "windows: installing silently into $target"
  "$WINE" "$out/MireloPlus-$v-setup.exe" /S /AUTOSTART
  for f in mireloplus.exe uninstall.exe platforms/qwindows.dll; do
    [ -f "$target/$f" ] || { echo "windows: $f not installed" >&2; exit 1; }
  done
  "$WINE" reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\MIRELOPLUS' /v DisplayName >/dev/null
  "$WINE" reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Run' /v 'MIRELO+' >/dev/null
  local appdata lnk
  appdata=$("$WINE" cmd /c echo %APPDATA% 2>/dev/null | tr -d '\r')
  lnk=$("$WINE" winepath -u "$appdata\\Microsoft\\Windows\\Start Menu\\Programs\\MIRELO+.lnk" 2>/dev/null | tr -d '\r')
  [ -f "$lnk" ] || { echo "windows: no Start-menu shortcut" >&2; exit 1; }
  local said
  said=$(bash scripts/wine-run.sh "$target/mireloplus.exe" --version 2>&1 | tr -d '\r')
  echo "windows: installed program says: $said"
  grep -q "$v" <<<"$said" || { echo "windows: --version did not name $v" >&2; exit 1; }
  # Settings written by the user stay through an uninstall without /PURGE.
  "$WINE" reg add 'HKCU\Software\MIRELOPLUS\MireloPlus' /v theme /d light /f >/dev/null
  local wtarget
  wtarget=$("$WINE" winepath -w "$target" 2>/dev/null | tr -d '\r')
  # _? runs the uninstaller in place (no copy in TEMP left running), so it
  # cannot delete itself: that one file goes here.
  "$WINE" "$target/uninstall.exe" /S "_?=$wtarget"
  rm -f "$target/uninstall.exe"
  [ ! -e "$lnk" ] || { echo "windows: Start-menu shortcut left" >&2; exit 1; }
  rmdir "$target" 2>/dev/null || { echo "windows: files left after uninstall:" >&2; find "$target" >&2; exit 1; }
  if "$WINE" reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\MIRELOPLUS' >/dev/null 2>&1 ||
     "$WINE" reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Run' /v 'MIRELO+' >/dev/null 2>&1; then
    echo "windows: uninstall left its registry entries" >&2; exit 1
  fi
  "$WINE" reg query 'HKCU\Software\MIRELOPLUS\MireloPlus' /v theme >/dev/null ||
    { echo "windows: uninstall removed the user's settings" >&2; exit 1; }
  # Asked to, it removes them too.
  "$WINE" "$out/MireloPlus-$v-setup.exe" /S
  "$WINE" "$target/uninstall.exe" /S /PURGE "_?=$wtarget"
  if "$WINE" reg query 'HKCU\Software\MIRELOPLUS\MireloPlus' >/dev/null 2>&1; then
    echo "windows: uninstall /PURGE kept the settings" >&2; exit 1
  fi
  rm -rf "$target"
  # A DLL that cannot be written (here a folder in its place) stops the
  # install with its name, and no entry says it is installed.
  mkdir -p "$target/Qt6Svg.dll"
  local rc=0
  "$WINE" "$out/MireloPlus-$v-setup.exe" /S || rc=$?
  [ "$rc" != 0 ] || { echo "windows: install with a DLL missing reported success" >&2; exit 1; }
  if "$WINE" reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\MIRELOPLUS' >/dev/null 2>&1; then
    echo "windows: install with a DLL missing wrote its uninstall entry" >&2; exit 1
  fi
  rm -rf "$target"
  echo "windows: installer and portable ZIP in $out; install, start, uninstall and a missing DLL checked"
}

# Speed figures of the Windows build under Wine (not part of CI's pass):
# Google Benchmark from Debian's source package, cross-built into the build
# folder, then the start-up, recognition and key-derivation benchmarks.
BENCH_SRC=benchmark_1.7.1
step_bench() {
  local bm=$BUILD/benchmark src=$BUILD/src
  if [ ! -f "$bm/lib/cmake/benchmark/benchmarkConfig.cmake" ]; then
    mkdir -p "$src"
    if [ ! -d "$src/benchmark-1.7.1" ]; then
      ( cd "$src"
        for f in $BENCH_SRC-1.dsc $BENCH_SRC.orig.tar.gz $BENCH_SRC-1.debian.tar.xz; do
          [ -f "$f" ] || wget -q "https://deb.debian.org/debian/pool/main/b/benchmark/$f"
        done
        dpkg-source --no-check -x $BENCH_SRC-1.dsc benchmark-1.7.1 >/dev/null )
    fi
    cmake -S "$src/benchmark-1.7.1" -B "$BUILD/benchmark-build" -G Ninja \
      -DCMAKE_TOOLCHAIN_FILE="$SDK/mingw-w64-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_INSTALL_PREFIX="$bm" -DBUILD_SHARED_LIBS=OFF -DBENCHMARK_ENABLE_TESTING=OFF \
      -DBENCHMARK_ENABLE_GTEST_TESTS=OFF -DBENCHMARK_ENABLE_WERROR=OFF -DGIT_VERSION=1.7.1 \
      -DHAVE_STD_REGEX=1 -DHAVE_STEADY_CLOCK=1 >/dev/null
    cmake --build "$BUILD/benchmark-build" -j"$JOBS" >/dev/null
    cmake --install "$BUILD/benchmark-build" >/dev/null
  fi
  cmake -S . -B "$TREE" -DMIRELO_BUILD_BENCH=ON -Dbenchmark_DIR="$bm/lib/cmake/benchmark" >/dev/null
  cmake --build "$TREE" -j"$JOBS" --target bench_app bench_recognition bench_vault
  python3 scripts/windeploy.py deploy "$TREE/bin" $(printf -- '--search %s ' "${RUNTIME_DIRS[@]}") --plugins "$SDK/plugins"
  start_session
  local run="$ROOT/scripts/wine-run.sh"
  "$run" "$TREE/bin/bench_app.exe" --benchmark_filter=StartupToShown
  "$run" "$TREE/bin/bench_recognition.exe" --benchmark_filter=50KiB --benchmark_repetitions=5 \
    --benchmark_report_aggregates_only=true
  "$run" "$TREE/bin/bench_vault.exe" --benchmark_filter='BM_DeriveKey$' --benchmark_repetitions=5 \
    --benchmark_report_aggregates_only=true
}

case "$STEP" in
  build) step_build ;;
  bench) step_bench ;;
  deploy) step_deploy ;;
  test) step_test ;;
  installer) step_installer ;;
  all)
    start=$(date +%s)
    step_build; step_deploy; step_test; stop_session; step_installer
    echo "windows: pass took $(( $(date +%s) - start )) s"
    ;;
  *) echo "windows: unknown step $STEP" >&2; exit 2 ;;
esac
