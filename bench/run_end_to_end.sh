#!/usr/bin/env bash
# Times whole conversions of one generated 256 MiB capture list on a tmpfs, in
# interleaved rounds: `cat FILE > /dev/null`, cap2batch (single-byte and code
# page 932), the straightforward C++ converter of bench/ and the awk version.
# Prints the best and median time of each, MB/s and the ratio to cat, then the
# peak resident memory of cap2batch for 1 MiB and 256 MiB inputs and for a
# single 64 MiB line, checking every output against the others.
#
# Usage: bash bench/run_end_to_end.sh [ROUNDS]   (default 5; needs GNU time)
# TMPFS=/some/tmpfs picks another tmpfs than /dev/shm.
set -euo pipefail
cd "$(dirname "$0")/.."

rounds=${1:-5}
megabytes=256
tmpfs=${TMPFS:-/dev/shm}
awk_command=${AWK:-awk}

cmake --preset bench >/dev/null
cmake --build --preset bench -j2 >/dev/null
build=build/bench
[ -x /usr/bin/time ] || { echo "GNU time is needed (Debian package: time)" >&2; exit 1; }

work=$(mktemp -d "$tmpfs/cap2batch-bench-XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir "$work/cap2batch" "$work/cp932" "$work/baseline" "$work/awk"
input="$work/cap2batch/tape01.cbl"
"$build/bench/generate_capture_list" "$input" $((megabytes << 20))
for dir in cp932 baseline awk; do ln "$input" "$work/$dir/tape01.cbl"; done
bytes=$(stat -c %s "$input")

# Seconds that "$@" takes, with its standard output thrown away.
seconds() {
  local start end
  start=$(date +%s%N)
  "$@" >/dev/null
  end=$(date +%s%N)
  echo $(((end - start) / 1000)) | awk '{ printf "%.4f\n", $1 / 1e6 }'
}

run_cat() { cat "$input"; }
run_cap2batch() { "$build/cap2batch" "$work/cap2batch/tape01.cbl"; }
run_cp932() { LC_ALL=ja_JP.SJIS "$build/cap2batch" "$work/cp932/tape01.cbl"; }
run_baseline() { "$build/bench/baseline_converter" "$work/baseline/tape01.cbl"; }
run_awk() {
  "$awk_command" -v listName=tape01 -f bench/convert.awk "$work/awk/tape01.cbl" >"$work/awk/tape01.txt"
}

names=(cat cap2batch cp932 baseline awk)
declare -A times
for round in $(seq "$rounds"); do
  for name in "${names[@]}"; do
    # The previous round's output (and any backup of it) goes before the
    # clock starts, for every converter alike: what is timed is the
    # conversion, not the freeing of the last one's pages.
    [ "$name" = cat ] || rm -f "$work/$name/tape01.txt" "$work/$name/tape01.txt.bak"
    times[$name]+="$(seconds "run_$name") "
  done
done

# Every converter must have written the same bytes.
for dir in cp932 baseline awk; do
  cmp "$work/cap2batch/tape01.txt" "$work/$dir/tape01.txt" || { echo "$dir differs" >&2; exit 1; }
done

echo "input: $bytes bytes on $(df --output=fstype "$tmpfs" | tail -1) $tmpfs," \
  "output: $(stat -c %s "$work/cap2batch/tape01.txt") bytes; $rounds rounds; awk is $(readlink -f "$(command -v "$awk_command")")"
catBest=$(tr ' ' '\n' <<<"${times[cat]}" | sed '/^$/d' | sort -g | head -1)
catMedian=$(tr ' ' '\n' <<<"${times[cat]}" | sed '/^$/d' | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }')
printf '%-24s %9s %9s %10s %10s %8s %8s\n' run best_s median_s best_MB/s med_MB/s best/cat med/cat
for name in "${names[@]}"; do
  sorted=$(tr ' ' '\n' <<<"${times[$name]}" | sed '/^$/d' | sort -g)
  best=$(head -1 <<<"$sorted")
  median=$(awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }' <<<"$sorted")
  label=$name
  [ "$name" = cp932 ] && label="cap2batch (LC_ALL SJIS)"
  awk -v n="$label" -v b="$best" -v m="$median" -v bytes="$bytes" -v cb="$catBest" -v cm="$catMedian" \
    'BEGIN { printf "%-24s %9.4f %9.4f %10.0f %10.0f %8.2f %8.2f\n", n, b, m, bytes / b / 1e6, bytes / m / 1e6, b / cb, m / cm }'
done

# Peak resident memory, in KiB, of one cap2batch run on "$1".
peak_kib() {
  rm -f "${1%.cbl}.txt"
  /usr/bin/time -f %M "$build/cap2batch" "$1" 2>&1 >/dev/null | tail -1
}
mkdir "$work/small" "$work/long" "$work/longbase"
"$build/bench/generate_capture_list" "$work/small/tape01.cbl" $((1 << 20))
"$build/bench/generate_capture_list" --long-line "$work/long/tape01.cbl" $((64 << 20))
ln "$work/long/tape01.cbl" "$work/longbase/tape01.cbl"
small=$(peak_kib "$work/small/tape01.cbl")
large=$(peak_kib "$input")
long=$(peak_kib "$work/long/tape01.cbl")
"$build/bench/baseline_converter" "$work/longbase/tape01.cbl"
cmp "$work/long/tape01.txt" "$work/longbase/tape01.txt" || { echo "64 MiB line differs" >&2; exit 1; }
echo "peak RSS: 1 MiB input $small KiB, 256 MiB input $large KiB (difference $((large - small)) KiB);" \
  "one 64 MiB line $long KiB, converted correctly ($(stat -c %s "$work/long/tape01.txt") bytes out)"
