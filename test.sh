#!/usr/bin/env bash
# Installs what is missing, builds Vorn with its tests and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
source tools/install-deps.sh
vorn_install_deps
vorn_configure_and_build build
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure -j2
