#!/usr/bin/env bash
# Times navdump against Debian's gpsdecode (package gpsd-clients) on the same large gpssim logs,
# NMEA and TSIP, in one run: MB/s (10^6 bytes of log per second, by wall time and by CPU time
# (user + system), each the best of REPEAT runs) and peak memory (maximum resident set size from
# /usr/bin/time -v). The verdicts use CPU time, which other work on a shared machine disturbs
# least. navdump's memory is
# also measured on a log ten times smaller, to show that it does not grow with the log. Ends
# with the bare-decoder benchmarks (decoder_bench) when they are built.
#
#   bench/run_bench.sh [BUILD_DIR]     BUILD_DIR: a Release build with navdump and gpssim
#                                      (default build/release, the release preset); -DPELMORA_BENCH=ON adds
#                                      decoder_bench.
# Environment: LOG_MB (size of the large logs, default 120), REPEAT (default 3),
#              WORK_DIR (where the logs go, default a fresh temporary directory, removed).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/release}
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

# measure COMMAND...: runs the command REPEAT times with /usr/bin/time -v; sets best_wall and
# best_cpu (least wall and least user + system seconds) and peak_kib (largest maximum RSS).
measure() {
  best_wall=""
  best_cpu=""
  peak_kib=0
  for ((i = 0; i < repeat; ++i)); do
    /usr/bin/time -v -o "$work/time.txt" "$@"
    local wall cpu kib
    wall=$(awk -F': ' '/Elapsed \(wall clock\)/ {
             n = split($2, p, ":"); s = 0; for (k = 1; k <= n; ++k) s = s * 60 + p[k]; print s }' \
           "$work/time.txt")
    cpu=$(awk -F': ' '/User time|System time/ {s += $2} END {print s}' "$work/time.txt")
    kib=$(awk -F': ' '/Maximum resident set size/ {print $2}' "$work/time.txt")
    if [[ -z $best_wall ]] || awk -v a="$wall" -v b="$best_wall" 'BEGIN {exit !(a < b)}'; then
      best_wall=$wall
    fi
    if [[ -z $best_cpu ]] || awk -v a="$cpu" -v b="$best_cpu" 'BEGIN {exit !(a < b)}'; then
      best_cpu=$cpu
    fi
    (( kib > peak_kib )) && peak_kib=$kib
  done
  :
}

printf 'machine: %s, %s CPUs, load %s\n' "$(uname -m)" "$(nproc)" "$(cut -d' ' -f1-3 /proc/loadavg)"
printf 'navdump: %s\ngpsdecode: %s\n' "$navdump" "$(command -v gpsdecode) ($(gpsdecode -V 2>&1 | head -1))"
printf 'best of %d runs; MB = 10^6 bytes; cpu = user + system; RSS = maximum resident set size\n\n' "$repeat"
printf '%-6s %-9s %8s %8s %8s %9s %9s %9s\n' proto tool log_MB wall_s cpu_s wall_MB/s cpu_MB/s RSS_MiB

status=0
for protocol in nmea tsip; do
  big=$work/big.$protocol
  small=$work/small.$protocol
  make_log "$protocol" "$log_mb" "$big"
  make_log "$protocol" $(( log_mb / 10 )) "$small"
  big_bytes=$(stat -c %s "$big")
  small_bytes=$(stat -c %s "$small")

  measure "$navdump" --type "$protocol" "$big" >/dev/null
  nav_wall=$best_wall nav_cpu=$best_cpu nav_kib=$peak_kib
  measure sh -c 'exec gpsdecode < "$1" > /dev/null' sh "$big"
  gd_wall=$best_wall gd_cpu=$best_cpu gd_kib=$peak_kib
  measure "$navdump" --type "$protocol" "$small" >/dev/null
  small_wall=$best_wall small_cpu=$best_cpu small_kib=$peak_kib

  row() {
    awk -v p="$1" -v t="$2" -v b="$3" -v w="$4" -v c="$5" -v k="$6" 'BEGIN {
      wr = w > 0 ? sprintf("%.1f", b / 1e6 / w) : "-"; cr = c > 0 ? sprintf("%.1f", b / 1e6 / c) : "-"
      printf "%-6s %-9s %8.1f %8.2f %8.2f %9s %9s %9.2f\n", p, t, b / 1e6, w, c, wr, cr, k / 1024 }'
  }
  row "$protocol" navdump "$big_bytes" "$nav_wall" "$nav_cpu" "$nav_kib"
  row "$protocol" gpsdecode "$big_bytes" "$gd_wall" "$gd_cpu" "$gd_kib"
  row "$protocol" navdump "$small_bytes" "$small_wall" "$small_cpu" "$small_kib"

  ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (a <= 0) print "inf"; else printf "%.1f", b / a }'; }
  cpu_ratio=$(ratio "$nav_cpu" "$gd_cpu")
  wall_ratio=$(ratio "$nav_wall" "$gd_wall")
  verdict=ok
  awk -v r="$cpu_ratio" 'BEGIN {exit !(r >= 10)}' || verdict=MISSED
  (( nav_kib < gd_kib )) || verdict=MISSED
  # Flat memory: the large log's peak within 10% (or 512 KiB) of the small log's.
  awk -v a="$nav_kib" -v b="$small_kib" 'BEGIN {exit !(a <= b * 1.1 || a - b <= 512)}' || verdict=MISSED
  printf '  %s: navdump %sx gpsdecode by CPU time, %sx by wall time (target >= 10x); peak RSS %s KiB vs %s KiB, %s KiB on the 10x smaller log: %s\n\n' \
    "$protocol" "$cpu_ratio" "$wall_ratio" "$nav_kib" "$gd_kib" "$small_kib" "$verdict"
  [[ $verdict == ok ]] || status=1
  rm -f "$big" "$small"
done

if [[ -x $build/bench/decoder_bench ]]; then
  echo "bare decoders (target: NMEA >= 300 MB/s; MB_per_s in 10^6 bytes per second):"
  "$build/bench/decoder_bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
fi
exit $status
