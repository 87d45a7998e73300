#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks to build, run and test Varenko. Idempotent: when
# every package is present it only checks and returns.
set -euo pipefail

# fonts-ipafont-gothic gives Wine a Japanese face, so the settings dialog's texts show as text
# rather than empty boxes on a machine without the Windows fonts.
packages=(
  build-essential cmake pkg-config git
  libgtest-dev libgmock-dev libbenchmark-dev
  libgl1-mesa-dev libglu1-mesa-dev libgl1-mesa-dri libx11-dev libpng-dev
  xvfb xauth x11-utils xdotool imagemagick xscreensaver
  wine wine64 g++-mingw-w64-x86-64 mingw-w64-x86-64-dev fonts-ipafont-gothic
  procps time
)
# The fuzz targets (tools/fuzz.sh): clang with libFuzzer and its sanitizer runtimes.
packages+=(clang-14 libfuzzer-14-dev libclang-rt-14-dev)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done

if ((${#missing[@]} > 0)); then
  echo "bootstrap: installing ${missing[*]}"
  sudo=()
  [[ $(id -u) -eq 0 ]] || sudo=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo[@]}" apt-get update -q
  "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}" </dev/null
fi
