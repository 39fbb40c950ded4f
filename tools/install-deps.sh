#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Brenmoor need,
# and only those that are missing, so a machine that has them all is left alone.
# With --fuzz also the compiler and libFuzzer that fuzz/run.sh builds the fuzz targets with
# (the ordinary build and its tests need neither).
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config git
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-charts-dev
  libfreetype-dev
  libsdl2-dev
  libfluidsynth-dev timgm6mb-soundfont
  libjpeg62-turbo-dev
  libsqlite3-dev libcrypt-dev
  liblua5.4-dev
)
if [ "${1:-}" = "--fuzz" ]; then
  packages+=(clang-14 libclang-rt-14-dev llvm-14)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing missing packages: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null 2>&1; then sudo="sudo"; else
    echo "These packages are missing and installing them needs root: ${missing[*]}" >&2
    exit 1
  fi
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q "${missing[@]}"
