#!/usr/bin/env bash
# Prints the build's figures: a fresh build without the compiler cache, and the rebuild after touching one file of
# store/ (store/IniFile.cpp, or the file given as $2), each as wall time and CPU time (user + sys of every
# process). The machine may be busy, so the wall time says little; CPU time / cores estimates the wall time on
# an idle machine. Builds at low priority into a new folder ($1, default build-figures) with scripts/build.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build-figures}
touched=${2:-store/IniFile.cpp}
export CCACHE_DISABLE=1 LUMIWAND_BUILD_DIR=$dir
cores=$(nproc)

# Runs the command, its output to a log, and prints the label with wall and CPU time.
measure() {
  local label=$1 log=$2 figures
  shift 2
  figures=$( { TIMEFORMAT='%R %U %S'; time nice -n 10 "$@" >"$log" 2>&1; } 2>&1 | tail -1)
  read -r wall user sys <<<"$figures"
  awk -v label="$label" -v wall="$wall" -v user="$user" -v sys="$sys" -v cores="$cores" -v steps="$(grep -c '^\[' "$log")" \
    'BEGIN { cpu = user + sys; printf "%-34s %5d steps  wall %7.1f s  CPU %7.1f s (user %.1f + sys %.1f)  CPU/%d %6.1f s\n", label, steps, wall, cpu, user, sys, cores, cpu / cores }'
}

rm -rf "$dir"
mkdir -p "$dir"
measure "fresh build" "$dir/fresh.log" scripts/build.sh
touch "$touched"
measure "rebuild after touching $touched" "$dir/touch.log" scripts/build.sh
