#!/usr/bin/env bash
# Installs what the build needs, builds the command and converts the shipped
# example capture list into examples/tape01.txt.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/need_packages.sh
need_build_packages

cmake --preset native >/dev/null
cmake --build --preset native --target cap2batch
build/native/cap2batch examples/tape01.cbl
echo "== examples/tape01.txt"
cat examples/tape01.txt
