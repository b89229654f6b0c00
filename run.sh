#!/usr/bin/env bash
# Installs what is missing, builds Vorn and starts it with the shipped catalogue.
set -euo pipefail
cd "$(dirname "$0")"
source tools/install-deps.sh
vorn_install_deps
vorn_configure_and_build build -DVORN_BUILD_TESTS=OFF -DVORN_BUILD_BENCH=OFF
exec build/bin/vorn "$@"
