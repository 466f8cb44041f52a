#!/usr/bin/env bash
# Makes the Debian package: installs what is missing, builds Release with Debian's hardening flags into
# build/package/, strips, and writes build/lumiwand_<version>_<arch>.deb. The desktop entries, the AppStream
# metainfo and the package are then checked (desktop-file-validate, appstreamcli, lintian): an error fails.
# Install it with: sudo apt install ./build/lumiwand_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh dpkg-dev fakeroot file lintian desktop-file-utils appstream man-db

build_dir=build/package
launcher=()
command -v ccache >/dev/null 2>&1 &&
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER="env;CCACHE_SLOPPINESS=pch_defines,time_macros;ccache")
# Debian's compiler and linker flags (fortify, stack protector, relro); CMake takes no CPPFLAGS of its own.
eval "$(dpkg-buildflags --export=sh)"
export CXXFLAGS="$CXXFLAGS $CPPFLAGS"
# Compiled as the tested build is (batches, precompiled header), and linked by the system's linker.
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DLUMIWAND_BUILD_TESTS=OFF \
  -DLUMIWAND_BUILD_BENCH=OFF -DLUMIWAND_FAST_LINKER=OFF "${launcher[@]}" >/dev/null
cmake --build "$build_dir" --parallel "$(nproc)"
rm -f build/lumiwand_*.deb
(cd "$build_dir" && cpack -G DEB -B "$PWD/cpack" >/dev/null)
mv "$build_dir"/cpack/lumiwand_*.deb build/
deb=$(ls build/lumiwand_*.deb)

# CPack counts every link as a copy of the file it points to (the program once per edition and mode). dpkg counts
# each file in KiB rounded up and a link or folder as 1 KiB: the package states its size that way.
restate_installed_size() {
  local tree size
  tree=$(mktemp -d)
  dpkg-deb -R "$1" "$tree"
  size=$(cd "$tree" && find . -path ./DEBIAN -prune -o ! -path . \( -type f -printf '%s\n' -o -printf '1024\n' \) |
    awk '{ total += int(($1 + 1023) / 1024) } END { print total }')
  sed -i "s/^Installed-Size: .*/Installed-Size: $size/" "$tree/DEBIAN/control"
  dpkg-deb --root-owner-group -b "$tree" "$1" >/dev/null
  rm -rf "$tree"
}
restate_installed_size "$deb"

# The checks run on the files as the package holds them.
contents=$(mktemp -d)
trap 'rm -rf "$contents"' EXIT
dpkg-deb -x "$deb" "$contents"
# desktop-file-validate fails only on errors; a warning fails here too.
warnings=$(desktop-file-validate --warn-kde "$contents"/usr/share/applications/*.desktop 2>&1) || true
if [ -n "$warnings" ]; then
  echo "$warnings" >&2
  exit 1
fi
appstreamcli validate --no-net --explain "$contents"/usr/share/metainfo/*.metainfo.xml
lintian --fail-on error "$deb"
echo "$deb"
