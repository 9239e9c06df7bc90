#!/bin/sh
# navdump --stats on a gpssim log with a known scatter: eleven fixes at 1 s, 1 m/s due north
# climbing 1 m/s, so the fixes lie 0..10 m north and up of the first. About their mean (running
# average): σN = σU = √10, σE = 0, CEP50 3, CEP95 5, 2DRMS 2√10, vertical 95 % 5; from the first
# fix as a surveyed mark: CEP50 5, CEP95 and vertical 95 % 9.5. The simulator moves on a sphere
# and NMEA rounds positions to 2 cm, hence the tolerance. Gates that no epoch passes exclude all.
#   navdump_stats.sh GPSSIM NAVDUMP
set -eu
gpssim=$1
navdump=$2
log=$(mktemp)
trap 'rm -f "$log"' EXIT
"$gpssim" --protocol nmea --seconds 11 --fast --speed 1 --heading 0 --climb 1 \
  --lat 52.52 --lon 13.405 --height 45 --out "$log"

# check JSON KEY EXPECTED TOLERANCE
check() {
  value=$(printf '%s' "$1" | grep -o "\"$2\":[^,}]*" | cut -d: -f2)
  awk -v v="$value" -v e="$3" -v t="$4" 'BEGIN { d = v - e; exit !(v != "" && d <= t && -d <= t) }' ||
    { echo "$2: got $value, expected $3 ± $4 in $1"; exit 1; }
}

mean=$("$navdump" --stats "$log")
check "$mean" samples 11 0
check "$mean" excluded 0 0
check "$mean" meanLat 52.520045 0.000001
check "$mean" meanLon 13.405 0.0000001
check "$mean" meanHeight 89.7 0.01
check "$mean" sigmaE 0 0.01
check "$mean" sigmaN 3.1623 0.02
check "$mean" sigmaU 3.1623 0.02
check "$mean" cep50 3 0.02
check "$mean" cep95 5 0.02
check "$mean" twoDrms 6.3246 0.03
check "$mean" vertical95 5 0.02

first=$("$navdump" --stats --reference 52.52,13.405,84.7 --gate fix=3,pdop=5,sats=4 "$log")
check "$first" samples 11 0
check "$first" cep50 5 0.02
check "$first" cep95 9.5 0.03
check "$first" vertical95 9.5 0.03
check "$first" sigmaN 3.1623 0.02

none=$("$navdump" --stats --gate sats=20 "$log")
check "$none" samples 0 0
check "$none" excluded 11 0
printf '%s' "$none" | grep -q '"cep50":null' || { echo "no samples but $none"; exit 1; }
if "$navdump" --gate sats=4 "$log" >/dev/null 2>&1; then
  echo "--gate without --stats was accepted"
  exit 1
fi
echo "ok: $mean"
