#!/usr/bin/env bash
# Builds the Debian package from a build tree (default: build) and checks it:
# its files, its declared dependencies (resolved against the package lists
# with a simulated install) and that the packaged program starts.
# Usage: scripts/package.sh [build-dir]
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build}

if [ ! -f "$BUILD/CPackConfig.cmake" ]; then
  cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DMIRELO_BUILD_TESTS=OFF -DMIRELO_BUILD_BENCH=OFF
fi
cmake --build "$BUILD" -j"$(nproc)" --target mireloplus mirelo-clouddb mirelo-peer mirelo-inspect
rm -rf "$BUILD/package"
( cd "$BUILD" && cpack -G DEB -B package >/dev/null )
deb=$(ls "$BUILD"/package/mireloplus_*.deb)
echo "package: $deb ($(du -h "$deb" | cut -f1))"

contents=$(dpkg-deb -c "$deb")
for f in ./usr/bin/mireloplus ./usr/bin/mirelo-clouddb ./usr/bin/mirelo-peer ./usr/bin/mirelo-inspect \
         ./usr/share/applications/mireloplus.desktop ./usr/share/icons/hicolor/scalable/apps/mireloplus.svg \
         ./usr/share/icons/hicolor/256x256/apps/mireloplus.png; do
  grep -q " $f\$" <<<"$contents" || { echo "missing in package: $f"; exit 1; }
done
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for d in libqt6widgets6 libqt6network6 libqt6svg6 qt6-qpa-plugins libssl3; do
  grep -q "$d" <<<"$depends" || { echo "dependency not declared: $d"; exit 1; }
done
apt-get install -s -y "$(realpath "$deb")" >/dev/null || { echo "dependencies do not resolve"; exit 1; }

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
"$root/usr/bin/mireloplus" --version
"$root/usr/bin/mirelo-inspect" --subject "GitHub OTP" --text "Verification code: 902-114" | grep -q '"code":"902114"'
echo "package ok"
