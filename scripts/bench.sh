#!/usr/bin/env bash
# Runs every benchmark program of a build, one after another, and writes
# their figures with the goals beside them to <build>/bench-report.md.
# Usage: scripts/bench.sh [build folder]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
results="$build/bench/results"
report="$build/bench-report.md"

rm -rf "$results"
mkdir -p "$results"
programs=("$build"/bench/*_bench)
if [[ ! -x "${programs[0]}" ]]; then
  echo "bench: no benchmark programs in $build/bench (build with TALVEMAR_BENCHMARKS=ON)" >&2
  exit 1
fi

for program in "${programs[@]}"; do
  name="$(basename "$program")"
  echo "== $name"
  "$program" --benchmark_out="$results/$name.json" --benchmark_out_format=json
done

# Real play timed: the playthrough's demo, drawn as fast as it can be at
# 800x600 (recorded first when missing).
demo="$build/game/demos/playthrough.dem"
[[ -f $demo ]] || scripts/record-demo.sh "$build"
echo "== timedemo"
timedemo="$(cd "$build/game" && SDL_VIDEODRIVER=offscreen ./talvemar --timedemo demos/playthrough.dem \
  --windowed --size 800x600 2>/dev/null | grep '^timedemo: ' || true)"
echo "$timedemo"

commit="$(git rev-parse --short HEAD 2>/dev/null || echo unknown)"
build_type="$(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$build/CMakeCache.txt")"
"$build/bench/bench_report" bench/goals.txt "$report" \
  --note "Build: ${build_type:-unknown}, commit $commit, $(date -u '+%Y-%m-%d %H:%M UTC')" \
  --note "Frames are drawn headless (SDL offscreen) by Mesa; timings are wall time unless the table says CPU" \
  --note "Playthrough demo at 800x600: ${timedemo:-the timedemo did not run}" \
  "$results"/*.json >/dev/null
echo "Report written to $report"
