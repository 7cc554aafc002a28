#!/usr/bin/env bash
# Start-up benchmark: how long Tessaro.exe takes to an idle main window, next to an empty
# Win32 dialog program built with the same toolchain and flags.
#
#   tools/bench-startup.sh [RUNS]     RUNS starts of each program (default 15)
#
# Builds the preset of this machine's Wine mode (tools/wine-mode.sh), brings up a rig of its own
# in build/<preset>/bench-rig (driver double loaded, controller plugged), runs startup_bench.exe
# in it and takes the rig down again, also when something fails. Not part of the tests.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
runs=${1:-15}
if ! [[ $runs =~ ^[1-9][0-9]*$ ]]; then
  sed -n '5p' "$0" >&2
  exit 2
fi

# shellcheck source=wine-mode.sh
. "$here/wine-mode.sh"
"$here/install-packages.sh"
choose_wine_mode
echo "$TESSARO_WINE_MODE"
[ "$TESSARO_PRESET" = win32 ] || "$here/install-packages.sh" 64

cd "$root"
log=$(mktemp)
echo "building the $TESSARO_PRESET preset ..."
if ! { cmake --preset "$TESSARO_PRESET" && cmake --build --preset "$TESSARO_PRESET"; } >"$log" 2>&1; then
  tail -n 40 "$log" >&2
  rm -f "$log"
  echo "bench-startup: the build failed" >&2
  exit 1
fi
rm -f "$log"

build=$root/build/$TESSARO_PRESET
rig=$build/bench-rig

cleanup() {
  "$here/rig.sh" down "$rig" >/dev/null 2>&1 || true
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

echo "bringing up the rig in $rig ..."
"$here/rig.sh" up "$rig" "$build" >/dev/null

echo "measuring ..."
status=0
(
  # shellcheck disable=SC1091
  . "$rig/env.sh"
  # Wine's helper processes inherit standard output and keep it open: the figures go to a file.
  exec wine "$build/tools/bench/startup_bench.exe" --runs "$runs" \
    "Z:$build/utility/Tessaro.exe" "Z:$build/tools/bench/empty_dialog.exe" \
    </dev/null >"$rig/startup_bench.txt" 2>&1
) &
# Waiting in the background lets an interruption take the rig down at once.
wait $! || status=$?
echo
tr -d '\r' <"$rig/startup_bench.txt"
exit "$status"
