#!/usr/bin/env bash
# The Debian package on this machine, as a user meets it: builds the package with
# packaging/build-deb.sh, installs it with apt-get, starts the installed `vorn` under Xvfb
# with an empty settings folder and sees its main window, closes it as the title bar's
# close button would, starts `vorn -d`, then removes the package and checks that nothing
# of it is left in /usr while the user's settings stay.
#
# It changes the machine (installs and purges the package vorn), so it needs root or sudo
# without a password and skips otherwise (exit 77); VORN_SKIP_PACKAGE_TEST=1 skips it too.
# VORN_BUILD_DIR names a configured and built build folder.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=${VORN_BUILD_DIR:-$root/build}

skip() { echo "SKIP: $*"; exit 77; }
fail() { echo "FAIL: $*" >&2; exit 1; }
trap 'echo "FAIL: line $LINENO: $BASH_COMMAND" >&2' ERR
ok() { echo "ok: $*"; }

[ -z "${VORN_SKIP_PACKAGE_TEST:-}" ] || skip "VORN_SKIP_PACKAGE_TEST is set"
if [ "$(id -u)" -eq 0 ]; then
  sudo=()
elif command -v sudo >/dev/null && sudo -n true 2>/dev/null; then
  sudo=(sudo -n)
else
  skip "installing the package needs root or sudo without a password"
fi
for tool in apt-get dpkg-query cpack Xvfb xdotool xprop python3 desktop-file-validate appstreamcli; do
  command -v "$tool" >/dev/null || fail "$tool is missing (tools/install-deps.sh installs it)"
done

# One package test at a time on a machine: two would install and purge the same package
# under each other's feet.
exec 9>/tmp/vorn-package-test.lock
flock -w 900 9 || fail "another package test holds /tmp/vorn-package-test.lock"
apt_get=("${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=300)

version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
[ -n "$version" ] || fail "$build holds no configured build"
main_title="Vorn - Zentrix -v$version"
# The function-of-the-day window bears the same caption as the menu entry that opens it.
day_caption=$(sed -n 's/.* mnuDayFun = QStringLiteral("\(.*\)");$/\1/p' "$root/src/platform/Texts.h")
[ -n "$day_caption" ] || fail "no caption of the function-of-the-day window in src/platform/Texts.h"

work=$(mktemp -d)
xvfb_pid=
vorn_pid=
installed_by_us=
cleanup() {
  [ -z "$vorn_pid" ] || kill "$vorn_pid" 2>/dev/null || true
  [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true
  if [ -n "$installed_by_us" ] && dpkg-query -W -f='${Status}' vorn 2>/dev/null | grep -q 'ok installed'; then
    "${apt_get[@]}" purge -y -qq vorn >/dev/null 2>&1 || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

# --- the package -------------------------------------------------------------------
deb=$("$root/packaging/build-deb.sh" "$build" "$work/deb" 2>"$work/build-deb.log" | tail -n 1) ||
  fail "packaging/build-deb.sh failed: $(tail -n 20 "$work/build-deb.log")"
[ -f "$deb" ] || fail "packaging/build-deb.sh made no package"
ok "built $(basename "$deb")"
depends=$(dpkg-deb -f "$deb" Depends)
for dependency in libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6 libsqlite3-0 fonts-dejavu-core fonts-liberation qt6-translations-l10n; do
  grep -q "\b$dependency\b" <<<"$depends" || fail "the package does not depend on $dependency: $depends"
done
ok "it depends on Qt 6, its Persian texts, SQLite 3 and the fonts: $depends"

if dpkg-query -W -f='${Status}' vorn 2>/dev/null | grep -q 'ok installed'; then
  echo "note: a vorn package was installed already; it is replaced and removed by this test"
fi
installed_by_us=1
"${apt_get[@]}" install -y -qq --no-install-recommends "$deb" \
  >"$work/install.log" 2>&1 || fail "apt-get install failed: $(tail -n 20 "$work/install.log")"
dpkg-query -W -f='${Status}' vorn | grep -q 'install ok installed' || fail "vorn is not installed after apt-get install"
ok "apt-get installed $(basename "$deb")"

[ "$(readlink /usr/bin/vorn)" = ../lib/vorn/vorn ] || fail "/usr/bin/vorn is not a link to ../lib/vorn/vorn"
[ -x /usr/lib/vorn/vorn ] && [ -f /usr/lib/vorn/API.mdb ] || fail "/usr/lib/vorn lacks the program or its catalogue"
[ ! -e /usr/bin/API.mdb ] || fail "a catalogue lies in /usr/bin"
desktop-file-validate /usr/share/applications/vorn.desktop || fail "the installed desktop entry does not validate"
grep -qx 'Exec=vorn' /usr/share/applications/vorn.desktop || fail "the installed desktop entry does not start vorn by name"
metainfo=$(dpkg-query -L vorn | grep '^/usr/share/metainfo/.*\.metainfo\.xml$')
appstreamcli validate --no-net "$metainfo" || fail "the installed metainfo does not validate"
for file in /usr/share/man/man1/vorn.1.gz /usr/share/icons/hicolor/scalable/apps/vorn.svg \
    /usr/share/icons/hicolor/48x48/apps/vorn.png; do
  [ -f "$file" ] || fail "$file is not installed"
done
ok "installed: /usr/bin/vorn -> /usr/lib/vorn/vorn with API.mdb beside it, menu entry, metainfo, icons, manual page"

# --- the installed program under Xvfb -----------------------------------------------
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
export DISPLAY=":$(head -n 1 "$work/display")"

home="$work/home"
config="$home/.config"
mkdir -p "$config"
mkdir -m 700 "$home/runtime"
# A user's session: only the system's search path, so `vorn` is the installed one.
user_env=(env -i PATH=/usr/bin:/bin HOME="$home" XDG_CONFIG_HOME="$config"
  XDG_RUNTIME_DIR="$home/runtime" DISPLAY="$DISPLAY" LANG=C.UTF-8)
[ "$("${user_env[@]}" sh -c 'command -v vorn')" = /usr/bin/vorn ] || fail "vorn on the search path is not /usr/bin/vorn"
[ -z "$(ls -A "$config")" ] || fail "the settings folder is not empty at the first start"

# The shown window whose title is exactly that text. Titles are compared here rather than
# by xdotool's pattern, which does not match Persian letters.
visible() {
  local id
  for id in $(xdotool search --onlyvisible --name . 2>/dev/null || true); do
    if [ "$(xdotool getwindowname "$id" 2>/dev/null || true)" = "$1" ]; then
      echo "$id"
      return
    fi
  done
}
# Waits for the started program to end, at most $1 tenths of a second; its status is in $status.
wait_end() {
  local i
  for i in $(seq "$1"); do kill -0 "$vorn_pid" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$vorn_pid" 2>/dev/null; then return 1; fi
  status=0
  wait "$vorn_pid" || status=$?
  vorn_pid=
}

(cd "$home" && exec "${user_env[@]}" vorn) >"$work/main.out" 2>&1 &
vorn_pid=$!
window=
for _ in $(seq 300); do
  window=$(visible "$main_title")
  [ -n "$window" ] && break
  kill -0 "$vorn_pid" 2>/dev/null || break
  sleep 0.1
done
if [ -z "$window" ]; then
  others=$(xdotool search --onlyvisible --name . getwindowname %@ 2>/dev/null || true)
  fail "the installed vorn showed no main window titled 'Vorn - Zentrix -v$version' (windows: ${others:-none}; output: $(cat "$work/main.out"))"
fi
ok "'vorn' shows its main window: the program found /usr/lib/vorn/API.mdb through the /usr/bin/vorn link"
xprop -id "$window" _NET_WM_ICON >"$work/icon.txt" 2>&1 || true
grep -q 'Icon (' "$work/icon.txt" || fail "the main window carries no icon: $(head -c 200 "$work/icon.txt")"
ok "the main window carries the installed icon"
python3 "$here/close-window.py" "$window" || fail "could not ask the main window to close"
wait_end 150 || fail "the main window was asked to close and the program did not end"
[ "$status" -eq 0 ] || fail "vorn ended with status $status after its main window closed"
ok "closing the main window ends the program with status 0"

# The user's settings: the ones the program stored when its window closed, or, while the
# program stores none yet, a settings file and an autostart entry as a user would have them.
settings="$config/Kel/Vorn.ini"
autostart="$config/autostart/vorn.desktop"
if [ -f "$settings" ]; then
  ok "the main window's run stored the settings in $settings"
else
  echo "note: the main window's run stored no settings file; the test places one"
  mkdir -p "$(dirname "$settings")"
  printf '[Vorn]\nDay%%20Function=1\n' >"$settings"
fi
if [ ! -f "$autostart" ]; then
  mkdir -p "$(dirname "$autostart")"
  printf '[Desktop Entry]\nType=Application\nName=Vorn\nExec=/usr/lib/vorn/vorn -d\n' >"$autostart"
fi
kept=$(cd "$config" && find . -type f -print0 | sort -z | xargs -0 sha256sum)

# --- vorn -d --------------------------------------------------------------------------
(cd "$home" && exec "${user_env[@]}" vorn -d) >"$work/day.out" 2>&1 &
vorn_pid=$!
day_window=
for _ in $(seq 300); do
  [ -z "$(visible "$main_title")" ] || fail "'vorn -d' showed the main window"
  day_window=$(visible "$day_caption")
  [ -n "$day_window" ] && break
  kill -0 "$vorn_pid" 2>/dev/null || break
  sleep 0.1
done
if [ -n "$day_window" ]; then
  ok "'vorn -d' shows the function-of-the-day window '$day_caption' and no main window"
  python3 "$here/close-window.py" "$day_window" || fail "could not ask the function-of-the-day window to close"
  wait_end 150 || fail "the function-of-the-day window was asked to close and the program did not end"
  [ "$status" -eq 0 ] || fail "'vorn -d' ended with status $status after its window closed"
  ok "closing the function-of-the-day window ends the program with status 0"
else
  wait_end 1 || fail "'vorn -d' neither showed the function-of-the-day window nor ended within 30 seconds"
  [ "$status" -eq 0 ] || fail "'vorn -d' ended with status $status ($(cat "$work/day.out"))"
  ok "'vorn -d' ended in order (status 0) without showing the main window"
fi
[ "$(cd "$config" && find . -type f -print0 | sort -z | xargs -0 sha256sum)" = "$kept" ] ||
  fail "the 'vorn -d' run changed the user's settings"
ok "the 'vorn -d' run left the user's settings as they were"

# --- removal --------------------------------------------------------------------------
owned=$(dpkg-query -L vorn)
"${apt_get[@]}" purge -y -qq vorn >"$work/purge.log" 2>&1 ||
  fail "apt-get purge failed: $(tail -n 20 "$work/purge.log")"
installed_by_us=
! dpkg-query -W -f='${Status}' vorn 2>/dev/null | grep -q 'ok installed' || fail "vorn is still installed after the purge"
while IFS= read -r path; do
  [ -n "$path" ] && [ "$path" != /. ] || continue
  if [ -L "$path" ] || [ -f "$path" ]; then fail "$path is left after the purge"; fi
done <<<"$owned"
[ ! -e /usr/lib/vorn ] || fail "/usr/lib/vorn is left after the purge"
left=$(find /usr -path /usr/local -prune -o \( -name vorn -o -name 'vorn.*' -o -name "$(basename "$metainfo")" \) -print)
[ -z "$left" ] || fail "left in /usr after the purge: $left"
ok "apt-get purge vorn leaves nothing of it in /usr"
[ "$(cd "$config" && find . -type f -print0 | sort -z | xargs -0 sha256sum)" = "$kept" ] ||
  fail "removing the package changed the user's settings"
[ -f "$settings" ] && [ -f "$autostart" ] || fail "removing the package took the user's settings"
ok "the user's settings file and autostart entry are still there, unchanged"
