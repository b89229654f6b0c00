#!/usr/bin/env bash
# Takes the screenshot that the README and the software-centre description show: starts
# the built Vorn on a private Xvfb display with empty settings, walks the tree by keyboard
# to one function and saves the main window.
#   packaging/take-screenshot.sh [BUILD-DIR]     (default build/; writes packaging/screenshots/main.png)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
out="$root/packaging/screenshots/main.png"
cmake --build "$build" --target vorn catalogue grabwindow >/dev/null

work=$(mktemp -d)
xvfb_pid=
vorn_pid=
cleanup() {
  [ -z "$vorn_pid" ] || kill "$vorn_pid" 2>/dev/null || true
  [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$work/display" 2>/dev/null &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n 1 "$work/display")"
mkdir -p "$work/config"
mkdir -m 700 "$work/runtime"
env -u QT_QPA_PLATFORM XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime" LANG=C.UTF-8 \
  "$build/bin/vorn" 2>/dev/null &
vorn_pid=$!
window=
for _ in $(seq 100); do
  window=$(xdotool search --onlyvisible --name '^Vorn - Zentrix' 2>/dev/null | head -n 1 || true)
  [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || { echo "Vorn showed no main window" >&2; exit 1; }
xdotool windowsize "$window" 960 640 windowmove "$window" 0 0 windowfocus --sync "$window"
sleep 0.5
# In the right-to-left tree Left opens a branch: the third root, its first area, its third function.
xdotool key --delay 150 Down Down Left Down Left Down Down Down
sleep 0.8
mkdir -p "$(dirname "$out")"
XDG_RUNTIME_DIR="$work/runtime" "$build/tools/grabwindow" "$window" "$out"
echo "$out"
