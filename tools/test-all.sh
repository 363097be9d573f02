#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test.
# Usage: bash tools/test-all.sh
set -euo pipefail
cd "$(dirname "$0")/.."

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

apt_updated=no
# Installs the Debian packages among "$@" that are not installed yet.
need_packages() {
  local missing=()
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
      missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "== installing ${missing[*]}"
  if [ "$apt_updated" = no ]; then
    as_root apt-get update -qq
    apt_updated=yes
  fi
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" >/dev/null
}

need_packages cmake ninja-build g++ libgtest-dev clang-format

echo "== lint"
bash tools/lint.sh

echo "== native build and tests"
cmake --preset native >/dev/null
cmake --build --preset native
ctest --preset native

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
