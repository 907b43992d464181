#!/usr/bin/env bash
# Installs the Debian packages the game, its tools and its tests need.
# As root the missing ones are installed; otherwise the command that would
# install them is printed and the script stops.
set -euo pipefail

packages=(
  g++ make cmake pkg-config
  libsdl2-dev
  libgl-dev libglu1-mesa-dev libgl1-mesa-dri libegl1 libegl-mesa0
  libopenal-dev zlib1g-dev
  libgtest-dev libbenchmark-dev
  libfreetype-dev fonts-dejavu-core espeak-ng
  cppcheck clang-tidy clang libclang-rt-dev
  xvfb openbox libx11-dev libxtst-dev librsvg2-bin
  dpkg-dev lintian appstream desktop-file-utils
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done

[[ ${#missing[@]} -eq 0 ]] && exit 0

if [[ $(id -u) -ne 0 ]]; then
  echo "These packages are missing. Install them with:" >&2
  echo "  sudo apt-get install -y ${missing[*]}" >&2
  exit 1
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
