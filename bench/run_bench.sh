#!/usr/bin/env bash
# Times navdump against Debian's gpsdecode (package gpsd-clients) on the same large gpssim logs,
# NMEA and TSIP, in one run: MB/s (10^6 bytes of log per second of wall time, best of REPEAT
# runs) and peak memory (maximum resident set size from /usr/bin/time -v). navdump's memory is
# also measured on a log ten times smaller, to show that it does not grow with the log. Ends
# with the bare-decoder benchmarks (decoder_bench) when they are built.
#
#   bench/run_bench.sh [BUILD_DIR]     BUILD_DIR: a Release build with navdump and gpssim
#                                      (default build/h-bench); -DPELMORA_BENCH=ON adds
#                                      decoder_bench.
# Environment: LOG_MB (size of the large logs, default 120), REPEAT (default 3),
#              WORK_DIR (where the logs go, default a fresh temporary directory, removed).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/h-bench}
navdump=$build/tools/navdump
gpssim=$build/tools/gpssim
log_mb=${LOG_MB:-120}
repeat=${REPEAT:-3}

for tool in "$navdump" "$gpssim"; do
  [[ -x $tool ]] || { echo "run_bench: $tool is missing; build navdump and gpssim first" >&2; exit 2; }
done
command -v gpsdecode >/dev/null || { echo "run_bench: gpsdecode is missing (apt-get install gpsd-clients)" >&2; exit 2; }
[[ -x /usr/bin/time ]] || { echo "run_bench: /usr/bin/time is missing (apt-get install time)" >&2; exit 2; }

if [[ -n ${WORK_DIR:-} ]]; then
  work=$WORK_DIR
  mkdir -p "$work"
else
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
fi

# make_log PROTOCOL MEGABYTES FILE: a gpssim log of about that size (epochs from a sample).
make_log() {
  local protocol=$1 mb=$2 file=$3
  "$gpssim" --protocol "$protocol" --fast --seconds 1000 --out "$work/sample"
  local per_epoch=$(( $(stat -c %s "$work/sample") / 1000 ))
  local epochs=$(( mb * 1000000 / per_epoch ))
  "$gpssim" --protocol "$protocol" --fast --seconds "$epochs" --turn-rate 0.2 --out "$file"
  rm -f "$work/sample"
}

# measure NAME COMMAND...: runs the command REPEAT times with /usr/bin/time -v; sets
# best_seconds (least wall time) and peak_kib (largest maximum resident set size).
measure() {
  local name=$1; shift
  best_seconds=""
  peak_kib=0
  for ((i = 0; i < repeat; ++i)); do
    /usr/bin/time -v -o "$work/time.txt" "$@"
    local wall kib
    wall=$(awk -F': ' '/Elapsed \(wall clock\)/ {
             n = split($2, p, ":"); s = 0; for (k = 1; k <= n; ++k) s = s * 60 + p[k]; print s }' \
           "$work/time.txt")
    kib=$(awk -F': ' '/Maximum resident set size/ {print $2}' "$work/time.txt")
    if [[ -z $best_seconds ]] || awk -v a="$wall" -v b="$best_seconds" 'BEGIN {exit !(a < b)}'; then
      best_seconds=$wall
    fi
    (( kib > peak_kib )) && peak_kib=$kib
  done
  :
}

mbps() { awk -v bytes="$1" -v s="$2" 'BEGIN { if (s <= 0) print "inf"; else printf "%.1f", bytes / 1e6 / s }'; }

printf 'machine: %s, %s CPUs, load %s\n' "$(uname -m)" "$(nproc)" "$(cut -d' ' -f1-3 /proc/loadavg)"
printf 'navdump: %s\ngpsdecode: %s\n' "$navdump" "$(command -v gpsdecode) ($(gpsdecode -V 2>&1 | head -1))"
printf 'best of %d runs; MB = 10^6 bytes; RSS = maximum resident set size\n\n' "$repeat"
printf '%-6s %-9s %10s %9s %10s %11s\n' proto tool log_MB seconds MB/s RSS_MiB

status=0
for protocol in nmea tsip; do
  big=$work/big.$protocol
  small=$work/small.$protocol
  make_log "$protocol" "$log_mb" "$big"
  make_log "$protocol" $(( log_mb / 10 )) "$small"
  big_bytes=$(stat -c %s "$big")
  small_bytes=$(stat -c %s "$small")

  measure navdump "$navdump" --type "$protocol" "$big" >/dev/null
  nav_s=$best_seconds nav_kib=$peak_kib
  measure gpsdecode sh -c 'exec gpsdecode < "$1" > /dev/null' sh "$big"
  gd_s=$best_seconds gd_kib=$peak_kib
  measure navdump-small "$navdump" --type "$protocol" "$small" >/dev/null
  small_s=$best_seconds small_kib=$peak_kib

  nav_rate=$(mbps "$big_bytes" "$nav_s")
  gd_rate=$(mbps "$big_bytes" "$gd_s")
  row() { printf '%-6s %-9s %10.1f %9.2f %10s %11.2f\n' "$1" "$2" "$(awk -v b="$3" 'BEGIN{print b/1e6}')" "$4" "$5" "$(awk -v k="$6" 'BEGIN{print k/1024}')"; }
  row "$protocol" navdump "$big_bytes" "$nav_s" "$nav_rate" "$nav_kib"
  row "$protocol" gpsdecode "$big_bytes" "$gd_s" "$gd_rate" "$gd_kib"
  row "$protocol" navdump "$small_bytes" "$small_s" "$(mbps "$small_bytes" "$small_s")" "$small_kib"

  ratio=$(awk -v a="$nav_s" -v b="$gd_s" 'BEGIN { if (a <= 0) print "inf"; else printf "%.1f", b / a }')
  verdict=ok
  awk -v r="$ratio" 'BEGIN {exit !(r >= 10)}' || verdict=MISSED
  (( nav_kib < gd_kib )) || verdict=MISSED
  # Flat memory: the large log's peak within 10% (or 512 KiB) of the small log's.
  awk -v a="$nav_kib" -v b="$small_kib" 'BEGIN {exit !(a <= b * 1.1 || a - b <= 512)}' || verdict=MISSED
  printf '  %s: navdump %sx gpsdecode throughput (target >= 10x); memory %s KiB vs %s KiB (%s KiB on the 10x smaller log): %s\n\n' \
    "$protocol" "$ratio" "$nav_kib" "$gd_kib" "$small_kib" "$verdict"
  [[ $verdict == ok ]] || status=1
  rm -f "$big" "$small"
done

if [[ -x $build/bench/decoder_bench ]]; then
  echo "bare decoders (target: NMEA >= 300 MB/s; MB_per_s in 10^6 bytes per second):"
  "$build/bench/decoder_bench" --benchmark_repetitions=1
fi
exit $status
