#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build for a bounded time, each from a copy of its
# committed seed corpus. Usage: fuzz/run.sh BUILD_DIR [SECONDS_PER_TARGET]
set -euo pipefail
build=${1:?usage: fuzz/run.sh BUILD_DIR [SECONDS]}
seconds=${2:-30}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
passed=0
for target in "$build"/fuzz/fuzz_*; do
  [ -f "$target" ] && [ -x "$target" ] || continue
  name=${target##*/fuzz_}
  mkdir -p "$work/$name"
  [ -d "$here/corpus/$name" ] && cp -r "$here/corpus/$name/." "$work/$name/"
  echo "== fuzzing $name for ${seconds}s"
  if "$target" -max_total_time="$seconds" -rss_limit_mb=4096 -print_final_stats=0 \
      -artifact_prefix="$work/$name-" "$work/$name" >"$work/$name.log" 2>&1; then
    tail -n 1 "$work/$name.log"
    passed=$((passed + 1))
  else
    echo "fuzz target $name failed:"; tail -n 40 "$work/$name.log"
    for crash in "$work/$name"-*; do [ -f "$crash" ] && { echo "input: $crash"; xxd "$crash" | head -20; }; done
    failed=$((failed + 1))
  fi
done
echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
