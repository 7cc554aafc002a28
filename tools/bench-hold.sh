#!/usr/bin/env bash
# Hold benchmark: timer ticks and time from the press to the accepted point for a still touch.
#
#   tools/bench-hold.sh [RUNS]     (default 10)
#
# Builds the preset of this machine's Wine mode (tools/wine-mode.sh), brings up a rig of its own
# in build/<preset>/hold-rig, runs hold_bench.exe there and takes the rig down again. Not part
# of the tests.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
runs=${1:-10}

# shellcheck source=wine-mode.sh
. "$here/wine-mode.sh"
"$here/install-packages.sh"
choose_wine_mode
echo "$TESSARO_WINE_MODE"
[ "$TESSARO_PRESET" = win32 ] || "$here/install-packages.sh" 64
build=$root/build/$TESSARO_PRESET
rig=$build/hold-rig

cd "$root"
cmake --preset "$TESSARO_PRESET" >/dev/null
cmake --build --preset "$TESSARO_PRESET" --target hold_bench >/dev/null

trap '"$here/rig.sh" down "$rig" >/dev/null 2>&1 || true' EXIT
"$here/rig.sh" up "$rig" "$build" >/dev/null
# shellcheck disable=SC1091
. "$rig/env.sh"
# The figures go to a file: Wine's helper processes keep inherited output open.
status=0
wine "$build/tools/hold_bench/hold_bench.exe" "$runs" </dev/null >"$rig/hold_bench.txt" 2>&1 || status=$?
tr -d '\r' <"$rig/hold_bench.txt"
exit "$status"
