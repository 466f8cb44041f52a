#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test through ctest (headless).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
cd "${LUMIWAND_BUILD_DIR:-build}"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure --parallel "$(nproc)"
