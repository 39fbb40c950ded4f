#!/usr/bin/env bash
# Fuzzes the readers of data from outside: builds every target (or the targets named) with
# clang, libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer in build/fuzz and runs
# each for the given seconds, at most --jobs at a time. Each run starts from the target's seed
# corpus (fuzz/corpus/<target>) and the inputs that once found a fault
# (fuzz/regressions/<target>), takes the target's dictionary (fuzz/dictionaries/<target>.dict)
# when it has one, grows its own corpus under build/fuzz/corpus/<target>, and keeps going
# after a finding: every input that crashes, fails a check, leaks, runs longer than 10 seconds
# or out of memory is kept in fuzz/findings/<target>/. A finding, once its fault is mended,
# goes into fuzz/regressions/<target>/ so that every build's tests run it from then on.
#
#   fuzz/run.sh [--seconds N] [--jobs J] [--seeds] [target...]
#   fuzz/run.sh --check [--runs N] [--strict] [target...]
#
# --seconds: per target, default 60. --jobs: targets at once, default 2. --seeds: first
# writes the seed corpus anew from the game's files (the release build's fuzz_seeds).
# --check: what the test command runs so that the fuzz build cannot rot: builds every target,
# runs each on its seed corpus and regressions (failing on any of them), then for a fixed
# number of runs (--runs, default 2000; fewer for the targets fuzz/check-runs names) from
# seed 1. Those runs start alike everywhere, but the paths they take can part with the
# machine (the addresses a run sees, its timing), so an input they find is reported and kept
# in build/fuzz/check-findings/<target>/ without failing the check; --strict fails on it too.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=60
jobs=2
seeds=0
check=0
strict=0
runs=2000
targets=()
while [ $# -gt 0 ]; do
  case "$1" in
    --seconds) seconds=$2; shift 2 ;;
    --jobs) jobs=$2; shift 2 ;;
    --seeds) seeds=1; shift ;;
    --check) check=1; shift ;;
    --runs) runs=$2; shift 2 ;;
    --strict) strict=1; shift ;;
    -h|--help) sed -n '2,22p' "$0"; exit 0 ;;
    *) targets+=("$1"); shift ;;
  esac
done
if [ ${#targets[@]} -eq 0 ]; then
  # Every target there is: one source file each under fuzz/targets.
  for f in fuzz/targets/*.cpp; do targets+=("$(basename "$f" .cpp)"); done
fi

bash tools/install-deps.sh

if [ "$seeds" = 1 ]; then
  cmake --preset release >/dev/null
  cmake --build --preset release --target fuzz_seeds -j 4
  rm -rf fuzz/corpus
  ./build/release/bin/fuzz_seeds fuzz/corpus
fi

cc=clang-14
cxx=clang++-14
command -v "$cxx" >/dev/null 2>&1 || { cc=clang; cxx=clang++; }
launcher=()
if command -v ccache >/dev/null 2>&1; then launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER="$cc" -DCMAKE_CXX_COMPILER="$cxx" \
  -DBRENMOOR_FUZZ=ON -DBRENMOOR_BENCHMARKS=OFF "${launcher[@]}" >/dev/null
cmake --build build/fuzz -j "${BRENMOOR_FUZZ_BUILD_JOBS:-$(nproc 2>/dev/null || echo 4)}" --target "${targets[@]/#/fuzz_}"

if command -v llvm-symbolizer >/dev/null 2>&1; then export ASAN_SYMBOLIZER_PATH=$(command -v llvm-symbolizer); fi
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy

# The target's seed corpus and regressions, and its dictionary, as options of a run.
inputs_of() {
  local t=$1
  for dir in "$PWD/fuzz/corpus/$t" "$PWD/fuzz/regressions/$t"; do [ -d "$dir" ] && echo "$dir"; done
  return 0
}
dict_of() {
  local d=$PWD/fuzz/dictionaries/$1.dict
  [ -f "$d" ] && echo "-dict=$d"
  return 0
}
# The runs and the coverage a log reports last.
stats_of() {
  local log=$1 execs cov
  execs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' | tail -1 || true)
  [ -n "$execs" ] || execs=$(grep -o '^#[0-9]*' "$log" | tail -1 | tr -d '#' || true)
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | grep -o '[0-9]*$' || true)
  echo "${execs:-?} runs, coverage ${cov:-?}"
}

# The runs of a target's seeded check: --runs, or fewer for a target whose runs are dear
# (fuzz/check-runs: "<target> <runs>" a line).
check_runs_of() {
  local n
  n=$(awk -v t="$1" '$1 == t { print $2 }' fuzz/check-runs 2>/dev/null | head -1)
  if [ -n "$n" ] && [ "$n" -lt "$runs" ]; then echo "$n"; else echo "$runs"; fi
}

# One target's fixed, seeded run; its log is build/fuzz/logs/<target>.check.log.
check_one() {
  local t=$1 n
  n=$(check_runs_of "$t")
  # An empty folder first: libFuzzer adds what it finds to the first folder it is given, and a
  # run that starts from the same inputs makes the same runs.
  local work=$PWD/build/fuzz/check/$t findings=$PWD/build/fuzz/check-findings/$t log=build/fuzz/logs/$t.check.log
  rm -rf "$work" "$findings"
  mkdir -p "$work" "$findings" build/fuzz/logs
  local status=0
  # The inputs kept in the tree first, each once: one of them failing is a fault come back.
  # shellcheck disable=SC2046
  ./build/fuzz/bin/fuzz_"$t" -runs=0 -timeout=10 -rss_limit_mb=2048 -artifact_prefix="$findings/" \
    "$work" $(inputs_of "$t") >"$log.inputs" 2>&1 || status=$?
  if [ "$status" != 0 ]; then
    echo "$t: FAILED on a kept input (exit $status); log $log.inputs"
    grep -m 3 -E 'ERROR|runtime error|fuzz check failed' "$log.inputs" || true
    return 1
  fi
  # shellcheck disable=SC2046
  ./build/fuzz/bin/fuzz_"$t" -runs="$n" -seed=1 -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$findings/" $(dict_of "$t") "$work" $(inputs_of "$t") >"$log" 2>&1 || status=$?
  if [ "$status" = 0 ]; then
    echo "$t: clean, $(stats_of "$log")"
  else
    echo "$t: FOUND (exit $status) in $n runs from seed 1: $findings/$(ls "$findings" | head -1); log $log"
    grep -m 3 -E 'ERROR|runtime error|fuzz check failed' "$log" || true
    if [ "$strict" = 0 ]; then
      echo "$t: the input shows a fault to mend; once mended, keep it in fuzz/regressions/$t/"
      return 0
    fi
  fi
  [ "$status" = 0 ]
}

# One target's run; its log is build/fuzz/logs/<target>.log.
run_one() {
  local t=$1
  # Absolute paths: the engine's targets make a folder of their own the current folder.
  local work=$PWD/build/fuzz/corpus/$t findings=$PWD/fuzz/findings/$t log=build/fuzz/logs/$t.log
  mkdir -p "$work" "$findings" build/fuzz/logs
  local status=0
  # One worker that is started again after each finding, so that the run goes on to its end.
  # shellcheck disable=SC2046
  ./build/fuzz/bin/fuzz_"$t" -fork=1 -ignore_crashes=1 -ignore_timeouts=1 -ignore_ooms=1 \
    -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$findings/" $(dict_of "$t") "$work" $(inputs_of "$t") >"$log" 2>&1 || status=$?
  local found
  found=$(find "$findings" -type f | wc -l)
  if [ "$status" = 0 ] && [ "$found" = 0 ]; then
    echo "$t: clean, $(stats_of "$log") in ${seconds}s"
  else
    echo "$t: FOUND $found input(s) in fuzz/findings/$t (exit $status, $(stats_of "$log")); log $log"
  fi
  [ "$status" = 0 ] && [ "$found" = 0 ]
}

one=run_one
[ "$check" = 1 ] && one=check_one
failed=0
running=0
for t in "${targets[@]}"; do
  if [ "$running" -ge "$jobs" ]; then
    wait -n || failed=1
    running=$((running - 1))
  fi
  $one "$t" &
  running=$((running + 1))
done
while [ "$running" -gt 0 ]; do
  wait -n || failed=1
  running=$((running - 1))
done
exit $failed
