#!/usr/bin/env bash
# Rejects unformatted code, trailing whitespace and missing final newlines.
set -euo pipefail
cd "$(dirname "$0")/.."

status=0
mapfile -t sources < <(git ls-files -co --exclude-standard -- '*.cpp' '*.h')
if [ ${#sources[@]} -gt 0 ]; then
  clang-format --dry-run -Werror "${sources[@]}" || status=1
fi
while IFS= read -r file; do
  [ -f "$file" ] || continue
  grep -Iq . "$file" || continue  # binary or empty
  if grep -nE '[[:blank:]]+$' "$file" >/dev/null; then
    echo "$file: trailing whitespace" >&2
    status=1
  fi
  if [ -n "$(tail -c 1 "$file")" ]; then
    echo "$file: no newline at the end" >&2
    status=1
  fi
done < <(git ls-files -co --exclude-standard | grep -vE '\.(cbl|txt|wav|ico|bin)$')
exit $status
