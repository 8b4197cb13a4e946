#!/bin/sh
# Runs a test against a throw-away, unlocked login keyring on a private
# session bus, so it never meets the user's own keyring. The daemon ends
# with the bus.
# Usage: keyringsession.sh test-binary [args]
set -eu
for tool in dbus-run-session gnome-keyring-daemon; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "SKIP: $tool is not installed, no keyring to test against"
    exit 77
  fi
done
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
export HOME="$home" XDG_RUNTIME_DIR="$home/run" XDG_DATA_HOME="$home/data" XDG_CONFIG_HOME="$home/config"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
unset DISPLAY WAYLAND_DISPLAY
dbus-run-session -- sh -c '
  printf throwaway | gnome-keyring-daemon --unlock --components=secrets >/dev/null
  exec "$@"' keyring "$@"
