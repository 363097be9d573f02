#!/usr/bin/env bash
# Builds the libFuzzer targets (preset `fuzz`: clang with AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each one for a bounded time, starting
# from its seed corpus in tests/fuzz/corpus/<target>/. The seeds are copied to
# a temporary folder, so the repository is never changed. Any finding (crash,
# sanitizer report, broken property, hang) fails the run; the input that
# caused it is kept in build/fuzz/findings/<target>/.
# Usage: bash tools/fuzz.sh [seconds per target, default 30]
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-30}
targets=(capture_line_fuzzer path_names_fuzzer batch_list_fuzzer)

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j2 >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

status=0
for target in "${targets[@]}"; do
  corpus="$work/$target"
  findings="build/fuzz/findings/$target"
  mkdir -p "$corpus" "$findings"
  cp tests/fuzz/corpus/"$target"/* "$corpus"/
  echo "== fuzzing $target for $seconds s"
  if "build/fuzz/tests/fuzz/$target" -max_total_time="$seconds" -timeout=10 \
    -artifact_prefix="$findings/" "$corpus" >"$work/$target.log" 2>&1; then
    grep -E '^Done [0-9]+ runs' "$work/$target.log" || true
  else
    tail -n 60 "$work/$target.log"
    echo "== $target found a fault; its input is in $findings/" >&2
    status=1
  fi
done
exit $status
