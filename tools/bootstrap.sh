#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks for Varenko. Idempotent: when every package is
# present it only checks and returns.
#   tools/bootstrap.sh run    what building and running the Linux show needs
#   tools/bootstrap.sh test   that and everything the tests need (the default): Wine, the
#                             cross compiler, the packaging tools, ...
set -euo pipefail

# One package per line, so that additions merge cleanly.
run_packages=(
  build-essential
  cmake
  pkg-config
  libgl1-mesa-dev
  libglu1-mesa-dev
  libgl1-mesa-dri
  libx11-dev
  libpng-dev
  # The monitors of the X screen.
  libxrandr-dev
  libxinerama-dev
  # Without a display the show is drawn on a private Xvfb.
  xvfb
  xauth
  x11-utils
  # Sound effects: PulseAudio's simple API (served by PipeWire on current desktops).
  libpulse-dev
)

# fonts-ipafont-gothic gives Wine a Japanese face, so the settings dialog's texts show as text
# rather than empty boxes on a machine without the Windows fonts.
test_packages=(
  git
  libgtest-dev
  libgmock-dev
  libbenchmark-dev
  xdotool
  imagemagick
  xscreensaver
  wine
  wine64
  g++-mingw-w64-x86-64
  mingw-w64-x86-64-dev
  fonts-ipafont-gothic
  procps
  time
  # The packages: the Windows installer, the Debian package and their checks.
  nsis
  dpkg-dev
  lintian
  man-db
  unzip
  # A second monitor for the monitors test: Xorg with two dummy screens; bc for the pacing test.
  xserver-xorg-core
  xserver-xorg-video-dummy
  bc
  # The fuzz targets (tools/fuzz.sh): clang with libFuzzer and its sanitizer runtimes.
  clang-14
  libfuzzer-14-dev
  libclang-rt-14-dev
  # Sound heard for real: a PulseAudio server with a null sink, its tools, and sox to measure.
  pulseaudio
  pulseaudio-utils
  sox
  # The settings dialog's English captions read back from a screenshot.
  tesseract-ocr
  tesseract-ocr-eng
  # The Japanese and English locales' sources, from which the tests build the locales that
  # choose Wine's interface language.
  locales
)

case "${1:-test}" in
  run) packages=("${run_packages[@]}") ;;
  test) packages=("${run_packages[@]}" "${test_packages[@]}") ;;
  *)
    echo "usage: tools/bootstrap.sh [run|test]" >&2
    exit 2
    ;;
esac

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
