#!/usr/bin/env bash
# Runs the native end-to-end suite and the fault-injection cases with every
# run of the command under valgrind's memcheck (the test programs themselves
# run as usual). Any memcheck error or leak in any run fails.
# Usage: bash tools/valgrind.sh
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset native >/dev/null
cmake --build --preset native -j2 >/dev/null

logs=$(mktemp -d)
trap 'rm -rf "$logs"' EXIT
chmod 0777 "$logs"  # the runs without root's rights write their logs here too

export CAP2BATCH_EXE=build/native/cap2batch
export CAP2BATCH_LAUNCHER="valgrind --tool=memcheck --error-exitcode=99 --leak-check=full \
--show-leak-kinds=definite,indirect,possible --errors-for-leak-kinds=definite,indirect,possible \
--log-file=$logs/%p.log"

status=0
build/native/tests/end_to_end_test --gtest_brief=1 || status=1
build/native/tests/fault_injection_test --gtest_brief=1 || status=1

runs=0
for log in "$logs"/*.log; do
  [ -e "$log" ] || continue
  runs=$((runs + 1))
  if ! grep -q "ERROR SUMMARY: 0 errors" "$log"; then
    cat "$log"
    status=1
  fi
done
echo "== memcheck: $runs runs of the command checked"
[ "$runs" -gt 0 ] || status=1
exit $status
