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

# Real play timed: the playthrough's demo at 800x600 (recorded first when
# missing), classic (a step and a picture, as fast as they go) and smooth (the
# game's own 30 ms steps, pictures as often as they can be drawn between).
demo="$build/game/demos/playthrough.dem"
[[ -f $demo ]] || scripts/record-demo.sh "$build"
timedemo() {
  (cd "$build/game" && SDL_VIDEODRIVER=offscreen ./talvemar --timedemo demos/playthrough.dem \
    --windowed --size 800x600 --set "smooth=$1" 2>/dev/null | grep '^timedemo: ' || true)
}
echo "== timedemo, classic"
classic="$(timedemo 0)"
echo "$classic"
echo "== timedemo, smooth"
smooth="$(timedemo 1)"
echo "$smooth"
# The smooth pictures' median against the renderer's floor of this run.
floor_ms="$(grep -A10 '"name": "BM_RendererFloor' "$results/render_frame_bench.json" 2>/dev/null |
  sed -n 's/.*"real_time": \([0-9.e+-]*\),/\1/p' | head -1)"
median_ms="$(sed -n 's/.*picture time median \([0-9.]*\) ms.*/\1/p' <<<"$smooth")"
ratio="unknown"
if [[ -n $floor_ms && -n $median_ms ]]; then
  ratio="$(awk -v m="$median_ms" -v f="$floor_ms" 'BEGIN { printf "%.2f", m / f }')"
fi
echo "smooth median picture / renderer floor: $ratio"

commit="$(git rev-parse --short HEAD 2>/dev/null || echo unknown)"
build_type="$(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$build/CMakeCache.txt")"
"$build/bench/bench_report" bench/goals.txt "$report" \
  --note "Build: ${build_type:-unknown}, commit $commit, $(date -u '+%Y-%m-%d %H:%M UTC')" \
  --note "Frames are drawn headless (SDL offscreen) by Mesa; timings are wall time unless the table says CPU" \
  --note "Playthrough demo at 800x600, classic: ${classic:-the timedemo did not run}" \
  --note "Playthrough demo at 800x600, smooth: ${smooth:-the timedemo did not run}" \
  --note "Smooth pictures' median against the renderer's floor of this run: $ratio (goal: at most 1.3)" \
  "$results"/*.json >/dev/null
echo "Report written to $report"
