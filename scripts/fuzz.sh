#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build-fuzz/, seeds each one
# from what the normal build generated (build/game/) and from the map
# sources, then runs them one after another for FUZZ_SECONDS seconds each.
#
#   build-fuzz/seeds/<target>/    seeds, gathered afresh at every run
#   build-fuzz/corpus/<target>/   the corpus libFuzzer grows; kept between runs
#   build-fuzz/crashes/<target>/  inputs that crashed, hung or ran out of memory
#
# Prints each target's "Done N runs in T second(s)" and last coverage line,
# and fails when any target found something, naming the file it wrote.
# Expects `make build` to have run (the Makefile's `fuzz` rule does that).
set -euo pipefail
cd "$(dirname "$0")/.."

BUILD_DIR=${BUILD_DIR:-build}
FUZZ_DIR=${FUZZ_DIR:-build-fuzz}
FUZZ_SECONDS=${FUZZ_SECONDS:-60}
JOBS=${JOBS:-2}

if ! [[ $FUZZ_SECONDS =~ ^[1-9][0-9]*$ ]]; then
  # libFuzzer takes 0 as "no limit"
  echo "fuzz: FUZZ_SECONDS must be a whole number of seconds above 0, not '$FUZZ_SECONDS'" >&2
  exit 1
fi

root=$(pwd)
absolute() { if [[ $1 == /* ]]; then echo "$1"; else echo "$root/$1"; fi; }
build_dir=$(absolute "$BUILD_DIR")
game_dir=$build_dir/game
fuzz_dir=$(absolute "$FUZZ_DIR")
if [[ ! -f $game_dir/talvemar.ini ]]; then
  echo "fuzz: $game_dir holds no generated content; run 'make build' first" >&2
  exit 1
fi

# target, then the longest input it is given (bytes): enough for the
# smallest compiled level (an arena of 21 KB), the smaller models, sounds and
# images, and the test maps.
targets=(
  "fuzz_settings 256"
  "fuzz_options 1024"
  "fuzz_demo 4096"
  "fuzz_level 24576"
  "fuzz_md2 32768"
  "fuzz_bmp 16384"
  "fuzz_level_bmp 16384"
  "fuzz_pcx 16384"
  "fuzz_tga 16384"
  "fuzz_textures 16384"
  "fuzz_wave 16384"
  "fuzz_map 20480"
)

CC=clang CXX=clang++ cmake -S . -B "$fuzz_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTALVEMAR_FUZZ=ON -DTALVEMAR_BENCHMARKS=OFF -DTALVEMAR_FUZZ_GAME_DIR="$game_dir" >/dev/null
names=()
for t in "${targets[@]}"; do names+=("${t%% *}"); done
cmake --build "$fuzz_dir" -j "$JOBS" --target "${names[@]}"

# Seeds: the generated files of each kind, smallest first, at most
# `max_seeds` of them and none longer than the target's input limit.
max_seeds=40
seed_files() {  # limit, then find(1) arguments
  local limit=$1
  shift
  find "$@" -type f -size -"$((limit + 1))"c -printf '%s %p\n' 2>/dev/null |
    sort -n | head -n "$max_seeds" | cut -d' ' -f2-
}
copy_seeds() {  # target, limit, then find(1) arguments
  local target=$1 limit=$2
  shift 2
  local f
  while IFS= read -r f; do
    [[ -n $f ]] && cp "$f" "$fuzz_dir/seeds/$target/$(basename "$f")"
  done < <(seed_files "$limit" "$@")
}
# Writes one byte of each value given (0..255).
bytes() {
  local value
  for value in "$@"; do printf '%b' "\\x$(printf %02x "$value")"; done
}

# A level seed: the level's length (4 bytes, little-endian), the level, then
# an AI node file.
pack_level() {  # level, ai file, output
  local length
  length=$(stat -c %s "$1")
  bytes $((length & 255)) $((length >> 8 & 255)) $((length >> 16 & 255)) $((length >> 24 & 255)) >"$3"
  cat "$1" "$2" >>"$3"
}

# The build writes no TGA file, so TGA seeds are made here: 3 x 2 pixels of
# each kind the decoder reads, the first with an ID field and a colour map
# (2 entries of 24 bits) to skip.
tga_seed() {  # output, id length, colour map type, image type, bits per pixel
  local out=$1 id=$2 map=$3 type=$4 bits=$5 i
  {
    bytes "$id" "$map" "$type" 0 0 2 0 24  # colour map: first entry, count, bits
    bytes 0 0 0 0 3 0 2 0 "$bits" 0        # origin, width, height, depth, flags
    for ((i = 0; i < id + map * 6; i++)); do bytes 73; done
    for ((i = 0; i < 6 * bits / 8; i++)); do bytes $((i * 37 & 255)); done
  } >"$out"
}

tga_seeds() {  # target
  tga_seed "$fuzz_dir/seeds/$1/rgb-with-id-and-map.tga" 5 1 2 24
  tga_seed "$fuzz_dir/seeds/$1/rgba.tga" 0 0 2 32
  tga_seed "$fuzz_dir/seeds/$1/grey.tga" 0 0 3 8
}

gather_seeds() {  # target, limit
  local target=$1 limit=$2
  rm -rf "$fuzz_dir/seeds/$target"
  mkdir -p "$fuzz_dir/seeds/$target" "$fuzz_dir/corpus/$target" "$fuzz_dir/crashes/$target"
  case $target in
    fuzz_settings) copy_seeds "$target" "$limit" "$game_dir" -maxdepth 1 -name '*.ini' ;;
    fuzz_options)
      copy_seeds "$target" "$limit" "$game_dir" -maxdepth 1 -name '*.ini'
      printf '# seed\nmouse_sensitivity = 1.5  # faster\n\nunknown = 1\n' \
        >"$fuzz_dir/seeds/$target/options.ini"
      ;;
    # The small demos the tests record (make test runs before the fuzzing).
    fuzz_demo) copy_seeds "$target" "$limit" "$build_dir/tests/temp" -name '*.dem' ;;
    fuzz_level)
      local level ai
      while IFS= read -r level; do
        for ai in "$game_dir"/levels/*.ai; do
          pack_level "$level" "$ai" "$fuzz_dir/seeds/$target/$(basename "$level" .spt)-$(basename "$ai" .ai)"
        done
      done < <(seed_files "$limit" "$game_dir/levels" "$build_dir/tests/arenas" -name '*.spt')
      ;;
    fuzz_md2) copy_seeds "$target" "$limit" "$game_dir/models" -name '*.md2' ;;
    fuzz_bmp) copy_seeds "$target" "$limit" "$game_dir" -name '*.bmp' ;;
    fuzz_level_bmp) copy_seeds "$target" "$limit" "$game_dir/gfx" -name '*.bmp' ;;
    fuzz_pcx) copy_seeds "$target" "$limit" "$game_dir" -name '*.pcx' ;;
    fuzz_tga) tga_seeds "$target" ;;
    fuzz_textures)
      copy_seeds "$target" "$limit" "$game_dir" \( -name '*.bmp' -o -name '*.pcx' \)
      tga_seeds "$target"
      ;;
    fuzz_wave) copy_seeds "$target" "$limit" "$game_dir/sounds" -name '*.wav' ;;
    fuzz_map) copy_seeds "$target" "$limit" "$root/content/maps" "$root/tests/maps" -name '*.map' ;;
  esac
}

export UBSAN_OPTIONS="print_stacktrace=1"
export TALVEMAR_GAME_DIR=$game_dir

failed=()
summary=()
for t in "${targets[@]}"; do
  target=${t%% *}
  limit=${t##* }
  gather_seeds "$target" "$limit"
  log=$fuzz_dir/$target.log
  echo "== $target: $(find "$fuzz_dir/seeds/$target" -type f | wc -l) seeds, ${FUZZ_SECONDS}s"
  status=0
  "$fuzz_dir/tests/$target" -max_total_time="$FUZZ_SECONDS" -max_len="$limit" -timeout=10 \
    -rss_limit_mb=2048 -malloc_limit_mb=512 -print_final_stats=1 \
    -artifact_prefix="$fuzz_dir/crashes/$target/" \
    "$fuzz_dir/corpus/$target" "$fuzz_dir/seeds/$target" >"$log" 2>&1 || status=$?
  done_line=$(grep -E '^Done [0-9]+ runs' "$log" | tail -n 1 || true)
  cov_line=$(grep -oE 'cov: [0-9]+ ft: [0-9]+ corp: [^ ]+' "$log" | tail -n 1 || true)
  if [[ $status -ne 0 ]]; then
    artifact=$(grep -oE 'Test unit written to .*' "$log" | tail -n 1 | sed 's/^Test unit written to //' || true)
    echo "$target: FAILED (exit $status): ${artifact:-no input written}; log: $log"
    grep -E '^(==[0-9]+==ERROR|SUMMARY|.*runtime error)' "$log" | head -n 5 || true
    failed+=("$target")
    summary+=("$target: FAILED ${artifact:+($artifact)}")
  else
    echo "$target: $done_line; $cov_line"
    summary+=("$target: $done_line; $cov_line")
  fi
done

echo
echo "== fuzz summary (${FUZZ_SECONDS}s each)"
printf '%s\n' "${summary[@]}"
if [[ ${#failed[@]} -gt 0 ]]; then
  echo "fuzz: ${#failed[@]} target(s) found a problem: ${failed[*]}" >&2
  exit 1
fi
