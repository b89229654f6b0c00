#!/usr/bin/env bash
# Installs what is missing, builds Vorn with its tests and runs every test; then runs the
# tests again built with AddressSanitizer and UndefinedBehaviorSanitizer, and every fuzz
# target for a bounded time.
#   VORN_FUZZ_SECONDS   seconds each fuzz target runs (default 15; two run at a time)
#   VORN_SKIP_SANITIZE=1, VORN_SKIP_FUZZ=1   leave those runs out
set -euo pipefail
cd "$(dirname "$0")"
source tools/install-deps.sh
vorn_install_deps
export QT_QPA_PLATFORM=offscreen

echo "== build and tests"
# Line tables only (-g1): a fifth less compile time than full debug information, and a
# failing test's backtrace still names files and lines. The benchmark programs are built
# below, unoptimised, which compiles faster: here they are only kept compiling.
vorn_configure_and_build build -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" -DVORN_BUILD_BENCH=OFF
ctest --test-dir build --output-on-failure -j2

if [ "${VORN_SKIP_SANITIZE:-0}" != 1 ]; then
  echo "== tests under AddressSanitizer and UndefinedBehaviorSanitizer"
  # Debug, with line tables only (-g1): compiles fastest, and the sanitizers still report
  # file and line. The package tests are left out: they install the Debian package, which
  # the run above did already.
  cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-g1 \
    -DVORN_SANITIZE=ON -DVORN_BUILD_BENCH=ON
  cmake --build build-asan -j2
  symbolizer=$(command -v llvm-symbolizer-14 || command -v llvm-symbolizer || true)
  LSAN_OPTIONS=suppressions=$PWD/tests/lsan-suppressions.txt:print_suppressions=0 \
  ASAN_OPTIONS=detect_leaks=1:detect_stack_use_after_return=1${symbolizer:+:external_symbolizer_path=$symbolizer} \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1${symbolizer:+:external_symbolizer_path=$symbolizer} \
    ctest --test-dir build-asan --output-on-failure -j2 -LE package
fi

if [ "${VORN_SKIP_FUZZ:-0}" != 1 ]; then
  echo "== fuzz targets"
  # Only the fuzz targets and the libraries they test are built, with clang's libFuzzer.
  cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++-14 \
    -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" -DVORN_FUZZ=ON -DVORN_BUILD_TESTS=OFF
  cmake --build build-fuzz -j2 --target fuzz
  fuzz/run.sh build-fuzz "${VORN_FUZZ_SECONDS:-15}"
fi
tools/test-share.sh
