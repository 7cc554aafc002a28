#!/bin/bash
# Fuzzes the portable code with libFuzzer (clang, ASan + UBSan): every target of tests/fuzz/,
# or the ones named, each for RUNS inputs (10 million unless given), starting from its seed
# corpus in tests/fuzz/corpus/NAME/. Prints each target's count of inputs; fails on a finding.
#   tools/fuzz.sh [RUNS] [TARGET...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/fuzz
runs=${1:-10000000}
shift || true

command -v clang++ >/dev/null || { echo "fuzz.sh: clang++ is missing (apt-get install clang)" >&2; exit 1; }
cmake -S "$root/tests/fuzz" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2 >/dev/null

if [ $# -eq 0 ]; then
  set -- $(cd "$root/tests/fuzz" && ls *_fuzz.cpp | sed 's/_fuzz\.cpp$//')
fi

status=0
for name in "$@"; do
  # New inputs go to a working corpus in the build folder; the repo keeps its seeds.
  work=$build/corpus/$name
  mkdir -p "$work" "$build/findings/$name"
  log=$build/$name.log
  start=$(date +%s)
  if "$build/${name}_fuzz" -runs="$runs" -print_final_stats=1 \
      -artifact_prefix="$build/findings/$name/" "$work" "$root/tests/fuzz/corpus/$name" \
      >"$log" 2>&1; then
    result="no finding"
  else
    result="FINDING (see $log and $build/findings/$name/)"
    status=1
  fi
  done_runs=$(sed -n 's/^Done \([0-9]*\) runs.*/\1/p' "$log" | tail -1)
  echo "$name: ${done_runs:-?} inputs in $(( $(date +%s) - start )) s, $result"
done
exit $status
