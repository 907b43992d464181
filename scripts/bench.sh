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
# timedemo SMOOTH [SIZE [RENDER_SCALE]]
timedemo() {
  (cd "$build/game" && SDL_VIDEODRIVER=offscreen ./talvemar --timedemo demos/playthrough.dem \
    --windowed --size "${2:-800x600}" --set "smooth=$1" --set "render_scale=${3:-1}" 2>/dev/null |
    grep '^timedemo: ' || true)
}
echo "== timedemo, classic"
classic="$(timedemo 0)"
echo "$classic"
echo "== timedemo, smooth"
smooth="$(timedemo 1)"
echo "$smooth"
# Full HD on the software renderer, classic (as fast as it goes): the whole
# scene, and the scene at half its width and height scaled up. A classic
# step that takes longer than 30 ms would slow the game down.
echo "== timedemo, classic, 1920x1080"
fullhd="$(timedemo 0 1920x1080 1)"
echo "$fullhd"
echo "== timedemo, classic, 1920x1080, render scale 0.5"
fullhd_half="$(timedemo 0 1920x1080 0.5)"
echo "$fullhd_half"
step_ms() { sed -n 's/^timedemo: \([0-9]*\) steps, [0-9]* pictures in \([0-9.]*\) s.*/\1 \2/p' <<<"$1" |
  awk '{ if ($1 > 0) printf "%.1f", $2 * 1000 / $1 }'; }
holds="unknown"
half_step="$(step_ms "$fullhd_half")"
if [[ -n $half_step ]]; then
  holds="$(awk -v s="$half_step" 'BEGIN { print (s <= 30 ? "yes" : "no") }'), ${half_step} ms a step"
fi
echo "1920x1080 at render scale 0.5 holds the 30 ms step: $holds"
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
  --note "Playthrough demo at 1920x1080, classic: ${fullhd:-the timedemo did not run}" \
  --note "Playthrough demo at 1920x1080, classic, render scale 0.5: ${fullhd_half:-the timedemo did not run}" \
  --note "1920x1080 at render scale 0.5 holds the 30 ms step: $holds" \
  "$results"/*.json >/dev/null
echo "Report written to $report"
