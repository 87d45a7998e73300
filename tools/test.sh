#!/usr/bin/env bash
# Sets up everything, builds both products and their packages and runs every test: unit tests
# natively and under the sanitizers, OpenGL tests and end-to-end tests of the Linux renderer on
# Xvfb (natively and under the sanitizers, with leak checking), a few seconds of each fuzz target
# over its corpus, the Debian package's tests, and end-to-end tests of the Windows programs, zip and
# installer under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/bootstrap.sh test
jobs=$(nproc)

cmake --preset windows >/dev/null
cmake --build --preset windows -j "$jobs"
cmake --build --preset windows -j "$jobs" --target package

cmake --preset linux >/dev/null
cmake --build --preset linux -j "$jobs"
cmake --build --preset linux -j "$jobs" --target package

cmake --preset asan >/dev/null
cmake --build --preset asan -j "$jobs"

ctest --preset asan -j "$jobs"
tools/fuzz.sh 3
ctest --preset linux -j "$jobs"
