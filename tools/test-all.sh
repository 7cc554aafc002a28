#!/usr/bin/env bash
# The whole test run, from a fresh clone on Debian 12: installs what is missing, configures and
# builds both configurations, then runs the native unit tests, the Win32 tests and the
# end-to-end tests, in that order. Exits non-zero when anything failed.
#
#   tools/test-all.sh
set -uo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

# The rig's own cleanup runs as a CTest fixture even when tests fail; this one also covers an
# interrupted run. Nothing of Wine or the X server may outlive the run.
cleanup() {
  [ -f build/win32/rig/env.sh ] && tools/rig.sh down build/win32/rig </dev/null >/dev/null 2>&1
  return 0
}
trap cleanup EXIT

results=()
failed=0

# step NAME COMMAND...: runs one step, times it and notes its result.
step() {
  local name=$1 start=$SECONDS status
  shift
  echo "=== $name: $*"
  "$@" </dev/null
  status=$?
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
  echo "=== summary"
  printf '  %s\n' "${results[@]}"
  if [ $failed -eq 0 ]; then
    echo "test-all: all passed"
  else
    echo "test-all: FAILED"
  fi
}

# Without the tools and a build there is nothing to test: stop at the first failure here.
step packages tools/install-packages.sh &&
  step configure-native cmake --preset native &&
  step build-native cmake --build --preset native &&
  step configure-win32 cmake --preset win32 &&
  step build-win32 cmake --build --preset win32
if [ $failed -ne 0 ]; then
  summary
  exit 1
fi

# Every test stage runs, so that one report shows all failures.
step native ctest --preset native --no-tests=error
step win32 ctest --preset win32 -L win32 --no-tests=error
step e2e ctest --preset win32 -L e2e --no-tests=error

summary
exit $failed
