# The conversion in awk, a second yardstick for the end-to-end benchmark. It
# follows the same rules for the generated data (single-byte code page, no
# 0x1A or NUL bytes) and writes the same rows.
#
# Usage: awk -v listName=NAME -f convert.awk CAPTURE_LIST > BATCH_LIST

BEGIN { ORS = "\r\n" }

{
  sub(/\r$/, "")
  if ($0 ~ /^[ \t\v\f\r]*;/) next
  line = $0
  sub(/^[ \t\v\f\r]+/, "", line)
  words = split(line, word, /[ \t\v\f\r]+/)
  # The clip path: everything after the fourth word and the blanks after it.
  match(line, /^[^ \t\v\f\r]*[ \t\v\f\r]+[^ \t\v\f\r]*[ \t\v\f\r]+[^ \t\v\f\r]*[ \t\v\f\r]+[^ \t\v\f\r]*[ \t\v\f\r]+/)
  path = (words > 4 && RSTART == 1) ? substr(line, RLENGTH + 1) : ""
  sub(/^.*[\/\\]/, "", path)
  if (match(path, /^.*\./)) path = substr(path, 1, RLENGTH - 1)
  inPoint = word[2]
  outPoint = word[3]
  gsub(/:/, ";", inPoint)
  gsub(/:/, ";", outPoint)
  print listName "\t" inPoint "\t" outPoint "\t" path
}
