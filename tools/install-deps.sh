#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Brenmoor need, and only
# those that are missing, so a machine that has them all is left alone.
#   tools/install-deps.sh                 what the build, the game and the tests need (the tests
#                                         build the fuzz targets with clang and libFuzzer too)
#   tools/install-deps.sh --screenshots   and the virtual display that tools/screenshot.sh uses
#   tools/install-deps.sh --fuzz          the same as without (kept for the scripts that name it)
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
  libasio-dev libssl-dev
  liblua5.4-dev
  clang-14 libclang-rt-14-dev llvm-14
)
for arg in "$@"; do
  case "$arg" in
    --screenshots) packages+=(xvfb x11-utils imagemagick) ;;
    --fuzz) ;;
    *)
      echo "usage: $0 [--screenshots] [--fuzz]" >&2
      exit 2
      ;;
  esac
done

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Missing Debian packages: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
  # sudo only when it can be used here: without a password, or with a terminal to ask for one.
  if command -v sudo >/dev/null 2>&1 && { sudo -n true 2>/dev/null || [ -t 0 ]; }; then
    sudo="sudo"
  else
    echo "Installing them needs root. Run as root:" >&2
    echo "  apt-get update && apt-get install -y ${missing[*]}" >&2
    echo "or run this script again as root: $0 $*" >&2
    exit 1
  fi
fi
echo "Installing them${sudo:+ with sudo}..."
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q "${missing[@]}"
