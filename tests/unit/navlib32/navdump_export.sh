#!/bin/sh
# navdump's exports read back by real consumers: GDAL/OGR (GPX, KML, GeoJSON, CSV) and GPSBabel
# (GPX, KML, NMEA; without a warning) must find as many points as navdump's JSON has positions,
# with the same first and last coordinates, for gpssim logs in NMEA and TSIP, a noisy one and a
# truncated one. Then the time range across midnight and the usage errors.
#   navdump_export.sh GPSSIM NAVDUMP
set -eu
gpssim=$1
navdump=$2
for tool in ogr2ogr gpsbabel python3; do
  command -v $tool >/dev/null || { echo "no $tool: run scripts/install-deps.sh"; exit 1; }
done
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cd "$dir"
start=2024-02-29T23:59:40
"$gpssim" --protocol nmea --fast --seconds 40 --start $start --out nmea.log
"$gpssim" --protocol tsip --fast --seconds 40 --start $start --out tsip.log
"$gpssim" --protocol nmea --fast --seconds 40 --noise-every 3 --bad-checksum-every 5 --out noisy.log
head -c $(($(wc -c <tsip.log) * 2 / 3 + 1)) tsip.log >cut.log

# "count lat lon lat lon": the points, the first and the last, from "lat lon" lines.
summary() { awk 'NF == 2 { if (!n++) f = $0; l = $0 } END { print n + 0, f, l }'; }
check() {  # what tolerance got want
  awk -v g="$3" -v w="$4" -v t="$2" 'BEGIN { if (split(g, a, " ") != 5 || split(w, b, " ") != 5 ||
    a[1] != b[1]) exit 1; for (i = 2; i <= 5; i++) if ((a[i] - b[i]) ^ 2 > t ^ 2) exit 1 }' ||
    { echo "$1: read back '$3', navdump's JSON '$4'"; exit 1; }
}
xy() { awk -F, 'NR > 1 { print $2, $1 }'; }  # ogr2ogr's X,Y columns
babel() { gpsbabel -t -i "$1" -f "$2" -o unicsv -F - 2>>babel.err | awk -F, 'NR > 1 { print $2, $3 }'; }
ogr() { ogr2ogr -f CSV /vsistdout/ "$@" -lco GEOMETRY=AS_XY; }

for log in nmea tsip noisy cut; do
  want=$("$navdump" $log.log | python3 -c 'import json, sys
p = ["%r %r" % (r["latitude"], r["longitude"]) for r in map(json.loads, sys.stdin)
     if r["validFlags"] & 16]
print(len(p), p[0], p[-1])')
  for format in gpx kml csv geojson nmea; do
    "$navdump" --format $format $log.log >$log.$format
  done
  check "$log gpx ogr" 1e-8 "$(ogr $log.gpx track_points | xy | summary)" "$want"
  check "$log geojson ogr" 1e-8 "$(ogr $log.geojson | xy | summary)" "$want"
  check "$log csv ogr" 1e-8 "$(ogr $log.csv -oo X_POSSIBLE_NAMES=longitude \
    -oo Y_POSSIBLE_NAMES=latitude | xy | summary)" "$want"
  kml=$(ogr2ogr -f CSV /vsistdout/ $log.kml -lco GEOMETRY=AS_WKT | grep -o '([^)]*)' |
    tr -d '()' | tr ',' '\n' | awk '{ print $2, $1 }' | summary)
  check "$log kml ogr" 1e-8 "$kml" "$want"
  for format in gpx kml nmea; do
    check "$log $format gpsbabel" 2e-6 "$(babel $format $log.$format | summary)" "$want"
  done
  echo "ok: $log: $want"
done
# GPSBabel warns of any sentence with a bad checksum, and of anything else it cannot read.
[ ! -s babel.err ] || { echo "GPSBabel:"; cat babel.err; exit 1; }

# 23:59:50 to 00:00:09 wraps midnight: 20 epochs, as many as from 2024-03-01T00:00:00 on.
wrap=$("$navdump" --format csv --from 23:59:50 --to 00:00:09 tsip.log | tail -n +2)
dated=$("$navdump" --format csv --from 2024-03-01T00:00:00 tsip.log | tail -n +2)
[ "$(printf '%s\n' "$wrap" | wc -l)" -eq 20 ] || { echo "wrapped range: $wrap"; exit 1; }
[ "$(printf '%s\n' "$dated" | wc -l)" -eq 20 ] || { echo "dated range: $dated"; exit 1; }
[ "$(printf '%s\n' "$dated" | sed -n '1s/,.*//p')" = 2024-03-01T00:00:00.000Z ] ||
  { echo "dated range starts at: $dated"; exit 1; }
for args in "--format shp" "--from 25:00:00" "--to 2024-02-30T00:00:00" "--gpx --format kml"; do
  status=0
  "$navdump" $args tsip.log >/dev/null 2>&1 || status=$?
  [ $status -eq 2 ] || { echo "navdump $args: exit $status, not 2"; exit 1; }
done
echo "ok: time ranges and usage errors"
