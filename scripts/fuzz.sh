#!/usr/bin/env bash
# Builds the libFuzzer targets (fuzz/) with clang, ASan and UBSan, and runs each one on
# its seeds (scripts/fuzz-seeds.sh) for a fixed number of inputs: a finding (crash,
# sanitizer report, leak, timeout) fails the run and leaves the input in
# build-fuzz/findings/<target>/. Build folder: build-fuzz/ (override with BUILD_DIR).
#
#   scripts/fuzz.sh                 short runs for CI (seconds per target)
#   scripts/fuzz.sh --long [RUNS]   RUNS inputs per target (default 2,000,000), growing
#                                   build-fuzz/corpus/<target>/
#   scripts/fuzz.sh [--long] TARGET...   only these targets
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$here/build-fuzz}

long=0
runs=
if [ "${1:-}" = --long ]; then
  long=1
  shift
  if [[ "${1:-}" =~ ^[0-9]+$ ]]; then runs=$1; shift; fi
fi

# Target and its short run (inputs); the short counts keep the whole CI run near two
# minutes on two cores.
declare -A short_runs=(
  [fuzz_reg_file]=50000
  [fuzz_adapter_ini]=300000
  [fuzz_scenario]=150000
  [fuzz_page_scan]=120000
  [fuzz_message_codec]=150000
  [fuzz_survey_records]=150000
  [fuzz_control_replies]=150000
)
order=(fuzz_reg_file fuzz_adapter_ini fuzz_scenario fuzz_page_scan fuzz_message_codec
       fuzz_survey_records fuzz_control_replies)
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=("${order[@]}")

bash "$here/scripts/install-deps.sh" build fuzz
CC=clang CXX=clang++ cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKESTO_FUZZ=ON -DKESTO_BUILD_TESTS=OFF -DKESTO_BUILD_BENCH=OFF >/dev/null
# The assembled pages are the page scanner's seeds.
cmake --build "$build" -j "$(nproc)" --target "${targets[@]}" kesto_page_files

bash "$here/scripts/fuzz-seeds.sh" "$build/seeds" >/dev/null
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:allocator_may_return_null=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

for target in "${targets[@]}"; do
  [ -n "${short_runs[$target]:-}" ] || { echo "unknown fuzz target: $target" >&2; exit 2; }
done

# One target: its inputs, then one line of figures (the whole line written at once, as
# targets run side by side); a finding's report and input before it. Fails on a finding.
run_target() {
  local target=$1 findings=$build/findings/$1 start=$SECONDS status=0 figures
  mkdir -p "$findings"
  local args=(-max_len=65536 -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
              -artifact_prefix="$findings/")
  if [ $long = 1 ]; then
    local corpus=$build/corpus/$target
    mkdir -p "$corpus"
    args+=(-runs="${runs:-2000000}" "$corpus" "$build/seeds/$target")
  else
    # Seeds only, nothing written back: each CI run does the same work.
    args+=(-runs="${short_runs[$target]}" "$build/seeds/$target")
  fi
  if ! "$build/fuzz/$target" "${args[@]}" >"$build/$target.log" 2>&1; then
    status=1
    tail -60 "$build/$target.log"
    echo "FINDING in $target: input saved in $findings/" >&2
  fi
  figures=$(grep -E '^stat::(number_of_executed_units|new_units_added)|cov: ' "$build/$target.log" |
    grep -E 'stat::|DONE' | tr '\n' ' ')
  echo "== $target $figures($((SECONDS - start)) s)"
  return $status
}

# Each target is one process on one core: as many side by side as there are cores.
status=0
running=0
for target in "${targets[@]}"; do
  run_target "$target" &
  running=$((running + 1))
  if [ $running -ge "$(nproc)" ]; then
    wait -n || status=1
    running=$((running - 1))
  fi
done
while [ $running -gt 0 ]; do
  wait -n || status=1
  running=$((running - 1))
done
exit $status
