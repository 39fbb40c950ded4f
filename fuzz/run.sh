#!/usr/bin/env bash
# Fuzzes the readers of data from outside: builds every target (or the targets named) with
# clang, libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer in build/fuzz and runs
# each for the given seconds, at most --jobs at a time. Each run starts from the target's seed
# corpus (fuzz/corpus/<target>) and the inputs that once found a fault
# (fuzz/regressions/<target>), grows its own corpus under build/fuzz/corpus/<target>, and
# keeps every input that crashes, fails a check, leaks, times out or runs out of memory in
# fuzz/findings/<target>/. A finding, once its fault is mended, goes into
# fuzz/regressions/<target>/ so that every build's tests run it from then on.
#
#   fuzz/run.sh [--seconds N] [--jobs J] [--seeds] [target...]
#
# --seconds: per target, default 60. --jobs: targets at once, default 2. --seeds: first
# writes the seed corpus anew from the game's files (the release build's fuzz_seeds).
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=60
jobs=2
seeds=0
targets=()
while [ $# -gt 0 ]; do
  case "$1" in
    --seconds) seconds=$2; shift 2 ;;
    --jobs) jobs=$2; shift 2 ;;
    --seeds) seeds=1; shift ;;
    -h|--help) sed -n '2,15p' "$0"; exit 0 ;;
    *) targets+=("$1"); shift ;;
  esac
done
if [ ${#targets[@]} -eq 0 ]; then
  targets=(saved_game scenario map_set host_orders guest_changes ai_script bitmap compressed_bitmap wave script
           lobby_client lobby_server user_record text_helpers)
fi

bash tools/install-deps.sh --fuzz

if [ "$seeds" = 1 ]; then
  cmake --preset release >/dev/null
  cmake --build --preset release --target fuzz_seeds -j 4
  rm -rf fuzz/corpus
  ./build/release/bin/fuzz_seeds fuzz/corpus
fi

cc=clang-14
cxx=clang++-14
command -v "$cxx" >/dev/null 2>&1 || { cc=clang; cxx=clang++; }
cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER="$cc" -DCMAKE_CXX_COMPILER="$cxx" \
  -DBRENMOOR_FUZZ=ON -DBRENMOOR_BENCHMARKS=OFF >/dev/null
cmake --build build/fuzz -j 4 --target "${targets[@]/#/fuzz_}"

if command -v llvm-symbolizer >/dev/null 2>&1; then export ASAN_SYMBOLIZER_PATH=$(command -v llvm-symbolizer); fi
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy

# One target's run; its log is build/fuzz/logs/<target>.log.
run_one() {
  local t=$1
  # Absolute paths: the engine's targets make a folder of their own the current folder.
  local work=$PWD/build/fuzz/corpus/$t findings=$PWD/fuzz/findings/$t
  mkdir -p "$work" "$findings" build/fuzz/logs
  local inputs=("$work")
  for dir in "$PWD/fuzz/corpus/$t" "$PWD/fuzz/regressions/$t"; do [ -d "$dir" ] && inputs+=("$dir"); done
  local status=0
  ./build/fuzz/bin/fuzz_"$t" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$findings/" "${inputs[@]}" >"build/fuzz/logs/$t.log" 2>&1 || status=$?
  local found
  found=$(find "$findings" -type f | wc -l)
  local execs
  execs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "build/fuzz/logs/$t.log" | grep -o '[0-9]*$' || echo "?")
  if [ "$status" = 0 ] && [ "$found" = 0 ]; then
    echo "$t: clean, $execs runs in ${seconds}s"
  else
    echo "$t: FOUND $found input(s) in fuzz/findings/$t (exit $status, $execs runs); log build/fuzz/logs/$t.log"
  fi
  [ "$status" = 0 ] && [ "$found" = 0 ]
}

failed=0
running=0
for t in "${targets[@]}"; do
  if [ "$running" -ge "$jobs" ]; then
    wait -n || failed=1
    running=$((running - 1))
  fi
  run_one "$t" &
  running=$((running + 1))
done
while [ "$running" -gt 0 ]; do
  wait -n || failed=1
  running=$((running - 1))
done
exit $failed
