#!/usr/bin/env bash
# Start-up benchmark: how long Tessaro.exe takes to an idle main window, next to an empty
# Win32 dialog program built with the same toolchain and flags.
#
#   tools/bench-startup.sh [RUNS]     RUNS starts of each program (default 15)
#
# Builds the win32 preset, brings up a rig of its own in build/win32/bench-rig (driver double
# loaded, controller plugged), runs startup_bench.exe in it and takes the rig down again, also
# when something fails. Not part of the tests.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
runs=${1:-15}
if ! [[ $runs =~ ^[1-9][0-9]*$ ]]; then
  sed -n '5p' "$0" >&2
  exit 2
fi

"$here/install-packages.sh"

cd "$root"
log=$(mktemp)
echo "building the win32 preset ..."
if ! { cmake --preset win32 && cmake --build --preset win32; } >"$log" 2>&1; then
  tail -n 40 "$log" >&2
  rm -f "$log"
  echo "bench-startup: the build failed" >&2
  exit 1
fi
rm -f "$log"

build=$root/build/win32
rig=$build/bench-rig

cleanup() {
  "$here/rig.sh" down "$rig" >/dev/null 2>&1 || true
  # An X server whose rig never got as far as its env.sh.
  if [ -f "$rig/xvfb.pid" ]; then
    kill "$(cat "$rig/xvfb.pid")" 2>/dev/null || true
    rm -f "$rig/xvfb.pid"
  fi
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
