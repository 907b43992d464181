#!/usr/bin/env bash
# scripts/package.sh <build dir>: builds the Debian package as a packager
# would, in a build folder of its own: Debian's hardening build flags, no
# test tools, the game's launcher in /usr/games; then checks the package
# with lintian, appstreamcli and desktop-file-validate, and fails on any
# error or warning. Extra CMake options (the maintainer, the home page)
# come from PACKAGE_CMAKE_FLAGS.
set -euo pipefail

build_dir=${1:-build-package}
jobs=${JOBS:-$(nproc)}
for tool in dpkg-buildflags dpkg-shlibdeps lintian appstreamcli desktop-file-validate; do
  command -v "$tool" > /dev/null || { echo "package: $tool is missing (run scripts/setup.sh)" >&2; exit 1; }
done

# The flags Debian builds its packages with, hardening included.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cppflags=$(dpkg-buildflags --get CPPFLAGS)
cflags="$(dpkg-buildflags --get CFLAGS) $cppflags"
cxxflags="$(dpkg-buildflags --get CXXFLAGS) $cppflags"
ldflags=$(dpkg-buildflags --get LDFLAGS)

# The extra flags are read as the shell would, quotes and all.
extra_flags=()
eval "extra_flags=(${PACKAGE_CMAKE_FLAGS:-})"
cmake -S . -B "$build_dir" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_FLAGS="$cflags" -DCMAKE_CXX_FLAGS="$cxxflags" \
  -DCMAKE_C_FLAGS_RELWITHDEBINFO=-DNDEBUG -DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-DNDEBUG \
  -DCMAKE_EXE_LINKER_FLAGS="$ldflags" \
  -DCMAKE_INSTALL_BINDIR=games \
  -DTALVEMAR_TESTS=OFF -DTALVEMAR_INSTALL_MANIFEST=OFF \
  "${extra_flags[@]}"
cmake --build "$build_dir" -j "$jobs"
rm -f "$build_dir"/talvemar_*.deb
(cd "$build_dir" && cpack)

deb=$(ls "$build_dir"/talvemar_*.deb)
echo "package: checking $deb"
lintian --fail-on error,warning --tag-display-limit 0 "$deb"

unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked"
appstreamcli validate --no-net --explain "$unpacked"/usr/share/metainfo/*.metainfo.xml
desktop-file-validate "$unpacked"/usr/share/applications/talvemar.desktop
echo "package: $deb passed lintian, appstreamcli and desktop-file-validate"
