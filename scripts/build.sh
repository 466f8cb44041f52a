#!/usr/bin/env bash
# Configures and builds into ./build (or $LUMIWAND_BUILD_DIR): everything, or the targets named (--target ...).
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir="${LUMIWAND_BUILD_DIR:-build}"
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build_dir" --parallel "$(nproc)" "$@"
