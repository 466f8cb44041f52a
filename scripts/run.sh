#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program (the 16-LED full editor unless a name is given,
# e.g. scripts/run.sh Lumiwand_exp16). Without a display it runs on a virtual X display.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh --target Lumiwand lumiwandctl
name="${1:-Lumiwand16}"
app="${LUMIWAND_BUILD_DIR:-build}/app"
program="$app/$name"
if [ "$name" != "${name##*/}" ] || [ ! -x "$program" ] || [ "$name" = lumiwandctl ]; then
  echo "Unknown program name: $name" >&2
  echo "The names it accepts (the name selects the edition and the mode):" >&2
  find "$app" -maxdepth 1 \( -name 'Lumiwand*' -o -name 'setup_Lumiwand*' \) | sed 's|.*/|  |' | sort >&2
  exit 2
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: starting $name on a virtual X display (Xvfb). Close it with Ctrl+C."
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$program"
fi
exec "$program"
