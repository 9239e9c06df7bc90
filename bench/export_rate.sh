#!/usr/bin/env bash
# navdump's export rate per format: MB/s of log read (10^6 bytes per second of CPU time, user +
# system, and of wall time; the best of REPEAT runs), the size written and the peak memory
# (maximum resident set size), on gpssim logs of LOG_MB megabytes in NMEA and in TSIP. The JSON
# lines (navdump's default) come first as the reference. A figure only: nothing passes or fails.
#
#   bench/export_rate.sh [BUILD_DIR]   BUILD_DIR: a Release build with navdump and gpssim
#                                      (default build/release: cmake --preset release)
# Environment: LOG_MB (default 50), REPEAT (default 3).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/release}
navdump=$build/tools/navdump
gpssim=$build/tools/gpssim
log_mb=${LOG_MB:-50}
repeat=${REPEAT:-3}
for tool in "$navdump" "$gpssim"; do
  [[ -x $tool ]] || { echo "export_rate: $tool is missing; build navdump and gpssim" >&2; exit 2; }
done
[[ -x /usr/bin/time ]] || { echo "export_rate: /usr/bin/time is missing" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A gpssim log of about log_mb megabytes (epochs from a sample's size).
make_log() {
  "$gpssim" --protocol "$1" --fast --seconds 1000 --out "$work/sample"
  local epochs=$((log_mb * 1000000 * 1000 / $(stat -c %s "$work/sample")))
  "$gpssim" --protocol "$1" --fast --seconds "$epochs" --turn-rate 0.2 --out "$2"
}

printf '%-5s %-8s %9s %9s %10s %9s\n' log format 'cpu MB/s' 'wall MB/s' 'out MB' 'peak MB'
for protocol in nmea tsip; do
  log=$work/$protocol.log
  make_log "$protocol" "$log"
  bytes=$(stat -c %s "$log")
  for format in json gpx kml csv geojson nmea; do
    args=()
    [[ $format != json ]] && args=(--format "$format")
    best_cpu="" best_wall="" peak=0
    for ((i = 0; i < repeat; i++)); do
      read -r wall user sys rss < <(/usr/bin/time -f '%e %U %S %M' \
        "$navdump" "${args[@]}" "$log" 2>&1 >"$work/out" | tail -n 1)
      cpu=$(awk -v u="$user" -v s="$sys" 'BEGIN { print u + s }')
      if [[ -z $best_cpu ]] || awk -v a="$cpu" -v b="$best_cpu" 'BEGIN { exit !(a < b) }'; then
        best_cpu=$cpu
      fi
      if [[ -z $best_wall ]] || awk -v a="$wall" -v b="$best_wall" 'BEGIN { exit !(a < b) }'; then
        best_wall=$wall
      fi
      ((rss > peak)) && peak=$rss
    done
    awk -v n="$bytes" -v c="$best_cpu" -v w="$best_wall" -v o="$(stat -c %s "$work/out")" \
      -v m="$peak" -v p="$protocol" -v f="$format" 'BEGIN {
        printf "%-5s %-8s %9.1f %9.1f %10.1f %9.1f\n", p, f, n / 1e6 / (c > 0 ? c : 0.01),
               n / 1e6 / (w > 0 ? w : 0.01), o / 1e6, m / 1024 }'
  done
  echo "($protocol log: $(awk -v n="$bytes" 'BEGIN { printf "%.1f", n / 1e6 }') MB)"
  rm -f "$log"
done
