#!/usr/bin/env bash
# Builds everything and runs every test: the unit tests natively and under
# the sanitizers, the 64-bit Windows build's unit and end-to-end tests under
# Wine, and the shipped 32-bit build.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

step() { printf '\n=== %s\n' "$*"; }

step "Native build and unit tests"
cmake --preset native >/dev/null
cmake --build --preset native
ctest --preset native

step "Unit tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake --preset native-sanitize >/dev/null
cmake --build --preset native-sanitize
ctest --preset native-sanitize

step "64-bit Windows build: unit and end-to-end tests under Wine"
cmake --preset win64 >/dev/null
cmake --build --preset win64
ctest --preset win64

step "32-bit Windows build: the shipped program"
cmake --preset win32 >/dev/null
cmake --build --preset win32
ctest --preset win32

step "All tests passed"
