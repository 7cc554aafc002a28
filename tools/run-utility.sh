#!/usr/bin/env bash
# Sets up this machine, builds, and runs Tessaro.exe under Wine with the driver double loaded and
# the simulated controller plugged in.
#
# With a usable X display ($DISPLAY) the utility opens there and this script waits until you close
# it. Without one, it runs on a virtual display, saves a screenshot of each tab under
# build/<preset>/screenshots/ and ends the utility again.
#
# The Wine mode (32-bit, or 64-bit where 32-bit programs cannot run) is chosen as for the tests:
# see tools/wine-mode.sh; TESSARO_WINE_BITS=64 forces the 64-bit mode.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
# shellcheck source=wine-mode.sh
. "$here/wine-mode.sh"

"$here/install-packages.sh"
choose_wine_mode
echo "$TESSARO_WINE_MODE"
[ "$TESSARO_PRESET" = win32 ] || "$here/install-packages.sh" 64
build=$root/build/$TESSARO_PRESET
rig=$build/run-rig

cd "$root"
echo "building ..."
log=$(mktemp)
if ! { cmake --preset "$TESSARO_PRESET" && cmake --build --preset "$TESSARO_PRESET"; } >"$log" 2>&1; then
  tail -n 40 "$log" >&2
  rm -f "$log"
  echo "run-utility: the build failed" >&2
  exit 1
fi
rm -f "$log"

trap '"$here/rig.sh" down "$rig" >/dev/null 2>&1 || true' EXIT

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  RIG_DISPLAY=$DISPLAY "$here/rig.sh" up "$rig" "$build" >/dev/null
  # shellcheck disable=SC1091
  . "$rig/env.sh"
  echo "Tessaro runs on $DISPLAY; close it to end."
  wine "$build/utility/Tessaro.exe" </dev/null >/dev/null 2>&1
  exit 0
fi

"$here/rig.sh" up "$rig" "$build" >/dev/null
# shellcheck disable=SC1091
. "$rig/env.sh"
wine "$build/utility/Tessaro.exe" </dev/null >/dev/null 2>&1 &

window=""
for _ in $(seq 1 100); do
  window=$(xdotool search --name '^Tessaro$' 2>/dev/null | head -n 1 || true)
  [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || { echo "run-utility: the main window did not appear" >&2; exit 1; }
sleep 1

shots=$build/screenshots
mkdir -p "$shots"
eval "$(xdotool getwindowgeometry --shell "$window")"
# Tab headers and the OK button, from the top-left corner of the main window's frame.
tabs=("calibrate 49" "touch-setting 130" "info 205" "advanced 269")
for tab in "${tabs[@]}"; do
  set -- $tab
  xdotool mousemove $((X + $2)) $((Y + 44)) click 1
  sleep 0.7
  import -window root "$shots/tab-$1.png"
  echo "saved $shots/tab-$1.png"
done
xdotool mousemove $((X + 372)) $((Y + 345)) click 1   # OK ends the utility
wineserver -w 2>/dev/null &
sleep 1
