#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test.
# Usage: bash tools/test-all.sh
set -euo pipefail
cd "$(dirname "$0")/.."

source tools/need_packages.sh

need_build_packages
need_packages clang-format
# Completion chime: ALSA's headers for the build; its library and
# configuration for the end-to-end runs that play into a file.
need_packages libasound2-dev libasound2-data

echo "== lint"
bash tools/lint.sh

echo "== native build and tests"
cmake --preset native >/dev/null
cmake --build --preset native
ctest --preset native

# --- Benchmarks: built here so that they keep compiling; timing them is the
# separate command in the README (bench/run_end_to_end.sh), never part of CI.
need_packages libbenchmark-dev
echo "== benchmark build"
cmake --preset bench >/dev/null
cmake --build --preset bench

# --- Windows executable ------------------------------------------------------
need_packages g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 wine wine64 locales

echo "== Windows build (mingw-w64), twice in two folders: byte for byte equal"
cmake --preset windows >/dev/null
cmake --build --preset windows
cmake --preset windows -B build/windows-again >/dev/null
cmake --build build/windows-again
cmp build/windows/cap2batch.exe build/windows-again/cap2batch.exe

echo "== Windows tests under Wine"
cmake --preset wine >/dev/null
cmake --build --preset wine
ctest --preset wine

# --- Hardening: sanitizers, bounded fuzzing, memcheck ------------------------
need_packages clang libclang-rt-14-dev valgrind

echo "== native build and tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake --preset native-asan >/dev/null
cmake --build --preset native-asan -j2
ctest --preset native-asan

echo "== fuzzing"
bash tools/fuzz.sh 30

echo "== end-to-end runs under valgrind's memcheck"
bash tools/valgrind.sh
