#!/bin/sh
# navdump through the tools themselves: gpssim's multi-GNSS log (40 satellites in view in its
# first epoch) gives a first line listing 40 satellites with their systems; --all-sats with --gpx
# is refused; a TSIP log across a midnight is dated by its GPS week, day by day.
#   navdump_tools.sh GPSSIM NAVDUMP
set -eu
gpssim=$1
navdump=$2
log=$(mktemp)
trap 'rm -f "$log"' EXIT
"$gpssim" --systems all --fast --seconds 3 --out "$log"
line=$("$navdump" --all-sats "$log" | sed -n 1p)
count=$(printf '%s' "$line" | grep -o '"system":' | wc -l)
[ "$count" -eq 40 ] || { echo "expected 40 satellites, got $count: $line"; exit 1; }
for system in GPS GLONASS Galileo BeiDou; do
  printf '%s' "$line" | grep -q "\"system\":\"$system\"" || { echo "no $system"; exit 1; }
done
if "$navdump" --all-sats --gpx "$log" >/dev/null 2>&1; then
  echo "--all-sats with --gpx was accepted"
  exit 1
fi
"$gpssim" --protocol tsip --fast --seconds 4 --start 2024-02-29T23:59:58 --out "$log"
dates=$("$navdump" "$log" | grep -o '"utcDate":"[0-9-]*"' | uniq | tr '\n' ' ')
[ "$dates" = '"utcDate":"2024-02-29" "utcDate":"2024-03-01" ' ] ||
  { echo "TSIP dates: $dates"; exit 1; }
echo "ok: $count satellites; TSIP dated $dates"
