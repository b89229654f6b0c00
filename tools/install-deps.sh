#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Vorn need, when any
# is missing. Sourced by run.sh and test.sh.
set -euo pipefail

VORN_PACKAGES=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6printsupport6 libgl-dev
  # Qt's own dialogs and text-box menus in Persian (qtbase_fa.qm).
  qt6-translations-l10n
  libsqlite3-dev
  # Fonts: Persian script and stand-ins for Tahoma, Times New Roman, Courier New, Arial.
  fonts-dejavu-core fonts-noto-core fonts-liberation fonts-farsiweb
  # A real X server for the window tests and screenshots, and for the walk through the
  # program: a window manager, real key presses (xdotool) and the clipboard read back.
  xvfb xauth x11-utils openbox xdotool xclip
  # Reading printed PDF files back in the print tests.
  poppler-utils
  # gio: a desktop launcher that the login-entry test starts the program through.
  libglib2.0-bin
  # Packaging and its checks: the Debian package (dpkg-shlibdeps), the menu entry and
  # metainfo validators, the icon renderer, the manual page reader; python3 runs the walk
  # through the program.
  dpkg-dev desktop-file-utils appstream librsvg2-bin groff-base python3
  # The fuzz build: clang with its libFuzzer and sanitizer libraries, and the symbolizer
  # that turns a finding's addresses into file names and lines.
  clang-14 libclang-rt-14-dev llvm-14
)

vorn_missing_packages() {
  local missing=()
  for p in "${VORN_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  echo "${missing[@]:-}"
}

vorn_install_deps() {
  local missing
  missing=$(vorn_missing_packages)
  [ -z "$missing" ] && return 0
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  echo "Installing: $missing"
  export DEBIAN_FRONTEND=noninteractive
  "${sudo[@]}" apt-get update -qq
  # shellcheck disable=SC2086
  "${sudo[@]}" apt-get install -y -qq --no-install-recommends $missing
}

vorn_configure_and_build() {
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
  cmake --build "$dir" -j2
}
