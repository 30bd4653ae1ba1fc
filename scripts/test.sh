#!/usr/bin/env bash
# Builds everything and runs every test: the unit tests natively, under
# valgrind and under the sanitizers, the fuzz targets for a while, the
# 64-bit Windows build's unit and end-to-end tests and a one-minute soak
# under Wine, and the checks of the shipped 32-bit build.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

step() { printf '\n=== %s\n' "$*"; }

step "Native build and unit tests"
cmake --preset native >/dev/null
cmake --build --preset native
ctest --preset native

step "Unit tests under valgrind: no leak, no error"
# glibc's AVX2 string routines read whole vectors, which this valgrind takes for overruns.
GLIBC_TUNABLES=glibc.cpu.hwcaps=-AVX2 valgrind --quiet --leak-check=full \
  --show-leak-kinds=definite,indirect,possible --errors-for-leak-kinds=definite,indirect,possible \
  --error-exitcode=1 build/native/tests/unit_tests --gtest_brief=1

step "Unit tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake --preset native-sanitize >/dev/null
cmake --build --preset native-sanitize
ctest --preset native-sanitize

step "Fuzzing: each target for a bounded time (scripts/fuzz.sh runs them longer)"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
ctest --preset fuzz

step "64-bit Windows build: unit and end-to-end tests and a one-minute soak under Wine"
cmake --preset win64 >/dev/null
cmake --build --preset win64
ctest --preset win64

step "32-bit Windows build: the shipped program"
cmake --preset win32 >/dev/null
cmake --build --preset win32
ctest --preset win32

step "All tests passed"
