#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build for a bounded time, each from a copy of its
# committed seed corpus, two at a time (VORN_FUZZ_JOBS changes that).
# Usage: fuzz/run.sh BUILD_DIR [SECONDS_PER_TARGET]
# A target that crashes, trips a sanitizer, aborts on a broken rule, hangs on one input
# for more than 10 seconds or grows past 4 GB fails the run; its input is shown.
set -euo pipefail
build=${1:?usage: fuzz/run.sh BUILD_DIR [SECONDS]}
seconds=${2:-30}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
symbolizer=$(command -v llvm-symbolizer-14 || command -v llvm-symbolizer || true)
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1${symbolizer:+:external_symbolizer_path=$symbolizer}
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1${symbolizer:+:external_symbolizer_path=$symbolizer}

names=()
for target in "$build"/fuzz/fuzz_*; do
  [ -f "$target" ] && [ -x "$target" ] || continue
  name=${target##*/fuzz_}
  names+=("$name")
  mkdir -p "$work/$name"
  [ -d "$here/corpus/$name" ] && cp -r "$here/corpus/$name/." "$work/$name/"
  echo "== fuzzing $name for ${seconds}s from $(ls "$work/$name" | wc -l) seeds"
  ( "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 -print_final_stats=1 \
      -artifact_prefix="$work/$name-" "$work/$name" >"$work/$name.log" 2>&1 && touch "$work/$name.passed" ) &
  while [ "$(jobs -rp | wc -l)" -ge "${VORN_FUZZ_JOBS:-2}" ]; do wait -n || true; done
done
wait || true

failed=0
for name in "${names[@]}"; do
  if [ -e "$work/$name.passed" ]; then
    echo "== $name"
    grep -E '^(Done|stat::number_of_executed_units|stat::new_units_added)' "$work/$name.log" || tail -n 3 "$work/$name.log"
  else
    echo "== fuzz target $name failed:"
    tail -n 60 "$work/$name.log"
    for crash in "$work/$name"-*; do [ -f "$crash" ] && { echo "input $crash:"; od -A x -t x1z "$crash" | head -40 || true; }; done
    failed=$((failed + 1))
  fi
done
echo "fuzz: $((${#names[@]} - failed)) passed, $failed failed"
[ "$failed" -eq 0 ] && [ "${#names[@]}" -gt 0 ]
