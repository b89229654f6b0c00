#!/usr/bin/env bash
# Prints the lines of the tests (tests/ and fuzz/: sources, scripts, CMake) against the
# lines of the code (src/, tools/, bench/), and the share. Data and prose (.tsv, .md,
# .txt, test executables, corpora) are not counted: only what a person writes as code.
set -euo pipefail
cd "$(dirname "$0")/.."
count() {
  git ls-files -- "$@" \
    | grep -E '\.(cpp|h|py|sh|cmake)$|CMakeLists\.txt$' \
    | { xargs -r cat -- 2>/dev/null || true; } | wc -l
}
tests=$(count tests fuzz)
code=$(count src tools bench)
share=$(( code > 0 ? (tests * 1000 / code + 5) / 10 : 0 ))
echo "test share: tests ${tests} lines, code ${code} lines, ${share}% (budget 40%)"
