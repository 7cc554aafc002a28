#!/usr/bin/env bash
# Hold benchmark: timer ticks and time from the press to the accepted point for a still touch.
#
#   tools/bench-hold.sh [RUNS]     (default 10)
#
# Builds the win32 preset, brings up a rig of its own in build/win32/hold-rig, runs
# hold_bench.exe there and takes the rig down again. Not part of the tests.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
build=$root/build/win32
rig=$build/hold-rig
runs=${1:-10}

"$here/install-packages.sh"
cd "$root"
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target hold_bench >/dev/null

trap '"$here/rig.sh" down "$rig" >/dev/null 2>&1 || true' EXIT
"$here/rig.sh" up "$rig" "$build" >/dev/null
# shellcheck disable=SC1091
. "$rig/env.sh"
# The figures go to a file: Wine's helper processes keep inherited output open.
status=0
wine "$build/tools/hold_bench/hold_bench.exe" "$runs" </dev/null >"$rig/hold_bench.txt" 2>&1 || status=$?
tr -d '\r' <"$rig/hold_bench.txt"
exit "$status"
