#!/usr/bin/env bash
# Makes the Debian package vorn_<version>_<arch>.deb in one command.
#   packaging/build-deb.sh               release build in build-deb/, the package lands there
#   packaging/build-deb.sh DIR [OUT]     builds in the folder DIR (configured anew when it
#                                        holds no build yet) and writes the package to OUT
# The last line it prints is the package's path.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-deb}
out=${2:-$build}
cd "$root"
source tools/install-deps.sh
vorn_install_deps
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DVORN_BUILD_TESTS=OFF -DVORN_BUILD_BENCH=OFF
fi
cmake --build "$build" -j2
mkdir -p "$out"
cpack --config "$build/CPackConfig.cmake" -B "$out" >&2
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
ls "$out"/vorn_"$version"_*.deb
