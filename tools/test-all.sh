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
