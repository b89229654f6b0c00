#!/usr/bin/env bash
# What a user's machine gets.
#   package.sh staged   the tree `cmake --install` stages for /usr, checked in a scratch
#                       folder: layout, menu entry, metainfo, Persian letters, one start
#   package.sh deb      the Debian package installed on this machine with apt-get and purged
#                       again, the user's settings kept; needs root or sudo without a password
#                       and skips otherwise (exit 77), as with VORN_SKIP_PACKAGE_TEST=1
# VORN_BUILD_DIR names a configured and built build folder.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=${VORN_BUILD_DIR:-$root/build}

skip() { echo "SKIP: $*"; exit 77; }
fail() { echo "FAIL: $*" >&2; exit 1; }
trap 'echo "FAIL: line $LINENO: $BASH_COMMAND" >&2' ERR
ok() { echo "ok: $*"; }

version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
[ -n "$version" ] || fail "$build holds no configured build"
work=$(mktemp -d)
installed_by_us=
cleanup() {
  if [ -n "$installed_by_us" ] && dpkg-query -W -f='${Status}' vorn 2>/dev/null | grep -q 'ok installed'; then
    "${apt_get[@]}" purge -y -qq vorn >/dev/null 2>&1 || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

# The menu entry and the metainfo ($2) of a tree installed for /usr ($1 is the tree's /usr).
validate() {
  desktop-file-validate "$1/share/applications/vorn.desktop" || fail "the menu entry under $1 does not validate"
  grep -qx 'Exec=vorn' "$1/share/applications/vorn.desktop" || fail "the menu entry does not start vorn by name"
  grep -qx 'Exec=vorn -d' "$1/share/applications/vorn.desktop" || fail "the menu entry has no function-of-the-day action"
  metainfo=$2
  appstreamcli validate --no-net --pedantic "$metainfo" || fail "$metainfo does not validate"
  [ "$(basename "$metainfo")" = "$(sed -n 's:.*<id>\(.*\)</id>.*:\1:p' "$metainfo").metainfo.xml" ] ||
    fail "$metainfo is not named after its id"
  grep -q "<release version=\"$version\"" "$metainfo" || fail "$metainfo does not describe release $version"
  [ "$(readlink "$1/bin/vorn")" = ../lib/vorn/vorn ] || fail "$1/bin/vorn is not a link to ../lib/vorn/vorn"
  [ -x "$1/lib/vorn/vorn" ] && cmp -s "$1/lib/vorn/API.mdb" "$build/bin/API.mdb" ||
    fail "$1/lib/vorn lacks the program or the built catalogue"
  [ ! -e "$1/bin/API.mdb" ] || fail "the catalogue leaked into $1/bin"
  ok "$1: bin/vorn links to lib/vorn/vorn with API.mdb beside it; menu entry and metainfo validate"
}

case ${1:?staged or deb} in
staged)
  command -v desktop-file-validate >/dev/null && command -v appstreamcli >/dev/null ||
    fail "desktop-file-validate or appstreamcli is missing (tools/install-deps.sh installs them)"
  DESTDIR="$work/stage" cmake --install "$build" --prefix /usr >"$work/install.log"
  usr="$work/stage/usr"
  validate "$usr" "$(find "$usr/share/metainfo" -name '*.metainfo.xml')"
  # Persian in the packaging files is written as the program's own: ARABIC LETTER YEH and
  # KEHEH, words parted by plain spaces.
  if LC_ALL=C.UTF-8 grep -rlP '\x{06CC}|\x{0643}|\x{200C}' "$root/packaging" --exclude='*.png' --exclude='*.svg'; then
    fail "FARSI YEH, ARABIC KAF or a non-joiner in the packaging files above"
  fi
  [ "$(LC_ALL=C.UTF-8 grep -rhcP '[\x{0600}-\x{06FF}]' "$root/packaging" | awk '{n += $1} END {print n}')" -ge 10 ] ||
    fail "fewer than 10 Persian lines in the packaging files"
  # The one start: through the bin/ link, from another folder, with only the system's paths.
  mkdir -p "$work/home/config" && mkdir -m 700 "$work/home/run"
  out=$(cd "$work/home" && env -i PATH=/usr/bin:/bin HOME="$work/home" XDG_CONFIG_HOME="$work/home/config" \
    XDG_RUNTIME_DIR="$work/home/run" QT_QPA_PLATFORM=offscreen VORN_REPORT_READY=1 \
    timeout 60 "$usr/bin/vorn" 2>"$work/start.err") || fail "the staged vorn ended with status $? ($(cat "$work/start.err"))"
  grep -q '^ready' <<<"$out" || fail "the staged vorn did not show its main window"
  ok "the staged bin/vorn finds its catalogue and shows its main window"
  ;;

deb)
  [ -z "${VORN_SKIP_PACKAGE_TEST:-}" ] || skip "VORN_SKIP_PACKAGE_TEST is set"
  if [ "$(id -u)" -eq 0 ]; then
    sudo=()
  elif command -v sudo >/dev/null && sudo -n true 2>/dev/null; then
    sudo=(sudo -n)
  else
    skip "installing the package needs root or sudo without a password"
  fi
  # One package test at a time on a machine: two would install and purge under each other.
  exec 9>/tmp/vorn-package-test.lock
  flock -w 900 9 || fail "another package test holds /tmp/vorn-package-test.lock"
  apt_get=("${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=300)
  deb=$("$root/packaging/build-deb.sh" "$build" "$work/deb" 2>"$work/build-deb.log" | tail -n 1) ||
    fail "packaging/build-deb.sh failed: $(tail -n 20 "$work/build-deb.log")"
  depends=$(dpkg-deb -f "$deb" Depends)
  for dependency in libqt6widgets6 libqt6printsupport6 libsqlite3-0 fonts-dejavu-core fonts-liberation qt6-translations-l10n; do
    grep -q "\b$dependency\b" <<<"$depends" || fail "the package does not depend on $dependency: $depends"
  done
  ok "built $(basename "$deb"), depending on $depends"
  installed_by_us=1
  "${apt_get[@]}" install -y -qq --no-install-recommends "$deb" >"$work/install.log" 2>&1 ||
    fail "apt-get install failed: $(tail -n 20 "$work/install.log")"
  validate /usr "$(dpkg-query -L vorn | grep '^/usr/share/metainfo/.*\.metainfo\.xml$')"
  # A user's settings and login entry, which removing the package must leave alone.
  config="$work/home/config"
  mkdir -p "$config/Kel" "$config/autostart"
  printf '[Software]\nKel\\Vorn\\Day%%20Function=1\n' >"$config/Kel/Vorn.ini"
  printf '[Desktop Entry]\nType=Application\nName=Vorn\nExec="/usr/bin/vorn" -d\n' >"$config/autostart/vorn.desktop"
  kept=$(cd "$config" && find . -type f -print0 | sort -z | xargs -0 sha256sum)
  owned=$(dpkg-query -L vorn)
  "${apt_get[@]}" purge -y -qq vorn >"$work/purge.log" 2>&1 || fail "apt-get purge failed: $(tail -n 20 "$work/purge.log")"
  installed_by_us=
  while IFS= read -r path; do
    [ -n "$path" ] && [ "$path" != /. ] || continue
    if [ -L "$path" ] || [ -f "$path" ]; then fail "$path is left after the purge"; fi
  done <<<"$owned"
  [ ! -e /usr/lib/vorn ] || fail "/usr/lib/vorn is left after the purge"
  [ "$(cd "$config" && find . -type f -print0 | sort -z | xargs -0 sha256sum)" = "$kept" ] ||
    fail "removing the package changed the user's settings"
  ok "apt-get purge vorn leaves nothing of it in /usr and the user's settings as they were"
  ;;

*)
  fail "no check named $1"
  ;;
esac
