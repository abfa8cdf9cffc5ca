#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang++ (AddressSanitizer and
# UndefinedBehaviorSanitizer) in build-fuzz/ and runs each one for SECONDS
# (default 20) from its seed corpus. The corpus is copied to a scratch folder
# first, so the repository is never written. Any finding (a crash, a sanitizer
# report, a failed check) stops the script with a non-zero status; the input
# that caused it is left in build-fuzz/findings/.
# Installs clang and libFuzzer (Debian, as root) if they are missing.
#
#   tools/run-fuzzers.sh [SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}
shift || true

./tools/install-deps.sh clang libfuzzer-14-dev

cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DLOMITRA_FUZZ=ON -DLOMITRA_UI=OFF -DLOMITRA_BENCH=OFF -DLOMITRA_WERROR=ON >/dev/null
cmake --build build-fuzz -j"$(nproc)" --target fuzzers

targets=("$@")
if ((${#targets[@]} == 0)); then
  targets=()
  for dir in fuzz/corpus/*/; do targets+=("$(basename "$dir")"); done
fi

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:symbolize=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
findings=$PWD/build-fuzz/findings
mkdir -p "$findings"

passed=0
for target in "${targets[@]}"; do
  corpus=$scratch/$target
  mkdir -p "$corpus"
  cp fuzz/corpus/"$target"/* "$corpus"/ 2>/dev/null || true
  log=$scratch/$target.log
  echo "== fuzz_$target: ${seconds} s"
  if ! build-fuzz/bin/fuzz_"$target" -max_total_time="$seconds" -timeout=30 -print_final_stats=1 \
       -artifact_prefix="$findings/$target-" "$corpus" >"$log" 2>&1; then
    tail -n 60 "$log"
    echo "FINDING in fuzz_$target; its input is in $findings/" >&2
    echo "fuzz: $passed passed, 1 failed"
    exit 1
  fi
  passed=$((passed + 1))
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
  echo "   ${runs:-?} runs, ${rate:-?} per second, no finding"
done
echo "fuzz: $passed passed, 0 failed"
