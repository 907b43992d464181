#!/usr/bin/env bash
# Records the automated playthrough (the playthrough test, which also plays
# its demo back) as <build>/game/demos/playthrough.dem.
# Usage: scripts/record-demo.sh [build folder]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build="$(cd "${1:-build}" && pwd)"
mkdir -p "$build/game/demos"
(cd "$build" && TALVEMAR_DEMO_OUT="$build/game/demos/playthrough.dem" \
  ctest -R '^Playthrough\.TheWholeGame' --output-on-failure >/dev/null) || {
  echo "demo: the playthrough failed; see $build/Testing/Temporary/LastTest.log" >&2
  exit 1
}
echo "Demo written to $build/game/demos/playthrough.dem (play it: cd $build/game && ./talvemar --play demos/playthrough.dem)"
