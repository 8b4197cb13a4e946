#!/usr/bin/env bash
# Installs every Debian 12 package that building, running and testing need.
# Safe to run again; needs root (or sudo).
set -euo pipefail
SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO=sudo; fi

PACKAGES=(
  # build
  build-essential cmake ninja-build pkg-config file ccache
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev libqt6svg6 qt6-qpa-plugins
  qt6-websockets-dev libboost-dev
  libgl-dev libxkbcommon-dev libx11-dev libxcb1-dev libxcb-xtest0-dev libxtst-dev libxcb-keysyms1-dev
  libssl-dev
  libgmime-3.0-dev
  libsodium-dev libzbar-dev libsecret-1-dev
  # tests, fuzzing and benchmarks
  libbenchmark-dev clang libclang-rt-14-dev
  libgumbo-dev
  dovecot-imapd python3 python3-aiosmtpd openssl oathtool
  libqrcodegencpp-dev libqrencode-dev zbar-tools qrencode zlib1g-dev
  python3-cryptography python3-protobuf
  # a throw-away keyring on a private bus for the Secret Service tests
  gnome-keyring dbus-daemon
  xvfb xauth xdotool fonts-dejavu-core
  # the Windows pass: cross compiler, zlib for the SDK, Wine, the installer
  g++-mingw-w64-x86-64 g++-mingw-w64-x86-64-posix libz-mingw-w64-dev wine64 nsis zip xz-utils
)

export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update
$SUDO apt-get install -y --no-install-recommends "${PACKAGES[@]}"
