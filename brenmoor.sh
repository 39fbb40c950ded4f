#!/usr/bin/env bash
# The two ways in: "play" builds and starts the game, "test" builds everything and runs the
# whole test suite (a normal build with the benchmarks run once, then a sanitizer build).
set -euo pipefail
cd "$(dirname "$0")"

jobs=$(nproc 2>/dev/null || echo 4)

build() {
  local preset=$1
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
}

case "${1:-}" in
  play)
    bash tools/install-deps.sh
    build release
    exec ./build/release/bin/brenmoor
    ;;
  test)
    bash tools/install-deps.sh
    build release
    ctest --preset release -j "$jobs"
    build asan
    ctest --preset asan -j "$jobs"
    ;;
  *)
    echo "usage: $0 play|test" >&2
    exit 2
    ;;
esac
