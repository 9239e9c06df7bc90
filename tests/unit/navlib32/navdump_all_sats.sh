#!/bin/sh
# navdump --all-sats through the tools themselves: gpssim's multi-GNSS log (40 satellites in
# view in its first epoch) gives a first line listing 40 satellites with their systems, and
# --all-sats with --gpx is refused.
#   navdump_all_sats.sh GPSSIM NAVDUMP
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
echo "ok: $count satellites"
