#!/usr/bin/env bash
# Fuzzes the portable code: every target that tests/fuzz/ builds (the hold, the calibration
# arithmetic, the decoding of stored values, the touch-setting values, the hardware-identifier
# walk), each with RUNS inputs (default 10 million), under ASan and UBSan (float-to-integer
# conversions included), starting from its seed corpus in tests/fuzz/corpus/ where it has one,
# and prints the figures. Not part of tools/test-all.sh.
#
#   tools/fuzz.sh [RUNS]
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-10000000}
build=$root/build/fuzz

if ! command -v clang++ >/dev/null || ! clang++ -fsanitize=fuzzer -x c++ - -o /dev/null \
    <<<'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }' \
    2>/dev/null; then
  echo "fuzz: clang with libFuzzer is needed (apt-get install clang libclang-rt-14-dev)" >&2
  exit 1
fi

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DTESSARO_FUZZ=ON >/dev/null
cmake --build "$build" -j2 >/dev/null

status=0
summary=()
for program in "$build"/tests/fuzz/*_fuzz; do
  target=$(basename "$program")
  corpus=$build/corpus/$target
  mkdir -p "$corpus"
  log=$build/$target.log
  start=$SECONDS
  # New inputs go to the build folder; a seed corpus in the repo is read, never written.
  seeds=$root/tests/fuzz/corpus/${target%_fuzz}
  [ -d "$seeds" ] || seeds=
  if "$program" -runs="$runs" -max_len=512 -print_final_stats=1 "$corpus" \
      ${seeds:+"$seeds"} >"$log" 2>&1; then
    result=clean
  else
    result=FAILED
    status=1
  fi
  executed=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  summary+=("$(printf '%-22s %s inputs, %s s, %s' "$target" "${executed:-?}" $((SECONDS - start)) "$result")")
  [ "$result" = clean ] || tail -30 "$log"
done
echo "=== fuzzing ($runs runs each; logs in $build)"
printf '  %s\n' "${summary[@]}"
exit $status
