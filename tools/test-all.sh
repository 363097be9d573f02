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
