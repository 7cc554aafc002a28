#!/usr/bin/env bash
# The whole test run, from a fresh clone on Debian 12: installs what is missing, configures and
# builds, then runs the native unit tests, the Win32 tests and the end-to-end tests, in that
# order. Exits non-zero when anything failed.
#
#   tools/test-all.sh                    the mode this machine can run (tools/wine-mode.sh)
#   TESSARO_WINE_BITS=64 tools/test-all.sh   the 64-bit mode, also where 32-bit programs run
#
# Both modes build the 32-bit programs and check their images; the 64-bit mode runs the Win32
# and end-to-end tests on the x86_64 build of the same sources.
set -uo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
# shellcheck source=wine-mode.sh
. tools/wine-mode.sh

results=()
failed=0
current=""

# The rigs' own cleanup runs as a CTest fixture even when tests fail; this one also covers an
# interrupted run. Nothing of Wine or the X server may outlive the run.
cleanup() {
  local rig
  for rig in build/win32/rig build/win32/rig-dual build/win64/rig build/win64/rig-dual; do
    [ -f "$rig/env.sh" ] && tools/rig.sh down "$rig" </dev/null >/dev/null 2>&1
  done
  return 0
}
# An interruption stops the running step (ctest and the tests it started) before the rigs go.
interrupted() {
  trap - INT TERM
  if [ -n "$current" ]; then
    kill -TERM -- "-$current" 2>/dev/null
    wait "$current" 2>/dev/null
  fi
  echo "test-all: interrupted"
  cleanup
  exit 130
}
trap cleanup EXIT
trap interrupted INT TERM

# step NAME COMMAND...: runs one step in a process group of its own, times it, notes its result.
step() {
  local name=$1 start=$SECONDS status=0
  shift
  echo "=== $name: $*"
  setsid "$@" </dev/null &
  current=$!
  wait "$current" || status=$?
  current=""
  local took=$((SECONDS - start))
  if [ $status -eq 0 ]; then
    results+=("$name passed (${took} s)")
  else
    results+=("$name FAILED (${took} s)")
    failed=1
  fi
  return $status
}

summary() {
  echo "=== summary ($TESSARO_WINE_MODE)"
  printf '  %s\n' "${results[@]}"
  if [ $failed -eq 0 ]; then
    echo "test-all: all passed"
  else
    echo "test-all: FAILED"
  fi
}

# Which mode needs Wine's 32-bit loader, which comes with the base packages: those are installed
# first, quietly, so that the mode is the first thing a run says.
install_log=$(mktemp)
if ! tools/install-packages.sh >"$install_log" 2>&1; then
  cat "$install_log"
  rm -f "$install_log"
  echo "test-all: installing the packages failed"
  exit 1
fi
choose_wine_mode || exit 1
echo "$TESSARO_WINE_MODE"
cat "$install_log"
rm -f "$install_log"
preset=$TESSARO_PRESET

# Without the tools and a build there is nothing to test: stop at the first failure here.
{ [ "$preset" = win32 ] || step packages-64 tools/install-packages.sh 64; } &&
  step configure-native cmake --preset native &&
  step build-native cmake --build --preset native &&
  step configure-win32 cmake --preset win32 &&
  step build-win32 cmake --build --preset win32 &&
  { [ "$preset" = win32 ] ||
    { step configure-win64 cmake --preset win64 && step build-win64 cmake --build --preset win64; }; }
if [ $failed -ne 0 ]; then
  summary
  exit 1
fi

# Every test stage runs, so that one report shows all failures.
step native ctest --preset native --no-tests=error
[ "$preset" = win32 ] || step image ctest --preset win32 -L image --no-tests=error
step win32 ctest --preset "$preset" -L win32 --no-tests=error
step e2e ctest --preset "$preset" -L e2e --no-tests=error

summary
exit $failed
