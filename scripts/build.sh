#!/usr/bin/env bash
# Configures and builds into ./build (or $LUMIWAND_BUILD_DIR): everything, or the targets named (--target ...).
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir="${LUMIWAND_BUILD_DIR:-build}"
launcher=()
# A compiler cache, where one is installed, makes rebuilds in several work trees cheap. It reuses what was
# compiled with the precompiled header only under this sloppiness (the ccache manual, "Precompiled headers"); it
# caches the header itself too, so a new build folder gets the same one and its objects from the cache.
command -v ccache >/dev/null 2>&1 &&
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER="env;CCACHE_SLOPPINESS=pch_defines,time_macros;ccache")
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" >/dev/null
cmake --build "$build_dir" --parallel "$(nproc)" "$@"
