#!/usr/bin/env bash
# The two ways in: "play" builds and starts the game, "test" builds everything and runs the
# whole test suite (a normal build with the benchmarks run once, then a sanitizer build, then
# the fuzz targets built with clang and libFuzzer, each run a fixed number of times from a
# fixed seed).
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
    if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
      echo "Brenmoor needs a display: start it from a desktop, or on a virtual one with" \
        "xvfb-run -s \"-screen 0 1024x768x24\" ./brenmoor.sh play" >&2
      exit 1
    fi
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
    bash fuzz/run.sh --check --jobs "$jobs"
    ;;
  *)
    echo "usage: $0 play|test" >&2
    exit 2
    ;;
esac
