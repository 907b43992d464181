#!/usr/bin/env bash
# Static checks over the game and its tools: cppcheck, then clang-tidy with
# the checks listed in .clang-tidy. Any finding fails the run.
# Usage: scripts/lint.sh [configured build folder]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
database="$build/compile_commands.json"
if [[ ! -f "$database" ]]; then
  echo "lint: $database is missing; configure the build first (make build)" >&2
  exit 1
fi
jobs="$(nproc)"
here="$(pwd)"

echo "== cppcheck (warning, performance, portability) over src/ and tools/"
cppcheck --project="$database" --file-filter="src/*" --file-filter="tools/*" \
  --enable=warning,performance,portability --std=c++17 --inline-suppr \
  --suppress=missingIncludeSystem --error-exitcode=1 --quiet -j "$jobs"

echo "== clang-tidy over src/ and tools/"
log="$build/clang-tidy.log"
status=0
run-clang-tidy -p "$build" -quiet -j "$jobs" "$here/(src|tools)/" >"$log" 2>&1 || status=$?
# Only the findings: the per-file command lines and counts of suppressed
# warnings (from system headers) are noise.
grep -v -e '^clang-tidy' -e 'warnings generated' -e 'Suppressed [0-9]* warnings' \
  -e 'Use -header-filter' -e '^Enabled checks' "$log" || true
if [[ $status -ne 0 ]]; then
  echo "lint: clang-tidy found problems (full log: $log)" >&2
  exit 1
fi
echo "lint: clean"
