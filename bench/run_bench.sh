#!/usr/bin/env bash
# Times navdump against Debian's gpsdecode (package gpsd-tools) on the same large logs, NMEA and
# TSIP, in one run: MB/s (10^6 bytes of log per second, by wall time and by CPU time (user +
# system, to the microsecond), each the best of REPEAT runs) and peak memory (maximum resident
# set size). The verdicts use CPU time, which other work on a shared machine disturbs least:
# navdump must be at least 25 times as fast as gpsdecode, use less memory, and use no more on a
# log ten times the size. The bare decoders (decoder_bench, when built) end the run, on the same
# logs.
#
# The logs: the real receiver logs of RECEIVER_LOGS (default ../shared/data/receiver-logs beside
# the checkout, when it is there), each protocol's .raw files joined and repeated to NMEA_MB
# (default 20) and TSIP_MB (default 5) megabytes, in a temporary folder (they are never copied
# into the repository); without that folder, gpssim logs of LOG_MB (default 120) megabytes.
#
#   bench/run_bench.sh [BUILD_DIR]     BUILD_DIR: a Release build with navdump and gpssim
#                                      (default build/release, the release preset, which also
#                                      builds decoder_bench)
# Environment: RECEIVER_LOGS, NMEA_MB, TSIP_MB, LOG_MB, REPEAT (default 3),
#              WORK_DIR (where the logs go, default a fresh temporary directory, removed).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/release}
navdump=$build/tools/navdump
gpssim=$build/tools/gpssim
log_mb=${LOG_MB:-120}
repeat=${REPEAT:-3}
receiver_logs=${RECEIVER_LOGS:-$root/../shared/data/receiver-logs}
nmea_mb=${NMEA_MB:-20}
tsip_mb=${TSIP_MB:-5}
target=25

for tool in "$navdump" "$gpssim"; do
  [[ -x $tool ]] || { echo "run_bench: $tool is missing; build navdump and gpssim first" >&2; exit 2; }
done
command -v gpsdecode >/dev/null || { echo "run_bench: gpsdecode is missing (apt-get install gpsd-clients)" >&2; exit 2; }
command -v python3 >/dev/null || { echo "run_bench: python3 is missing" >&2; exit 2; }
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

# real_log PROTOCOL MEGABYTES FILE: the receiver logs of that protocol joined, repeated to about
# that size.
real_log() {
  python3 -c '
import json, sys
folder, protocol, mb, out = sys.argv[1], sys.argv[2].upper(), int(sys.argv[3]), sys.argv[4]
with open(folder + "/files.json") as f:
    names = [log["name"] for log in json.load(f)["logs"] if log["protocol"] == protocol]
one = b"".join(open(folder + "/" + name + ".raw", "rb").read() for name in names)
with open(out, "wb") as f:
    f.write(one * -(-mb * 1000000 // len(one)))
' "$receiver_logs" "$@"
}

# measure COMMAND...: runs the command REPEAT times, each as a direct child of a small Python
# script that reads its own CPU time (wait4: exact, and free of a wrapper's start-up, which
# costs a few milliseconds here); sets best_wall and best_cpu (least wall and least user +
# system seconds). Then once more under /usr/bin/time for peak_kib (maximum RSS, KiB). The
# command's output stays the caller's; the figures go through files.
measure() {
  python3 -c '
import os, sys, time
out, repeat, command = sys.argv[1], int(sys.argv[2]), sys.argv[3:]
walls, cpus = [], []
for _ in range(repeat):
    start = time.perf_counter()
    pid = os.posix_spawnp(command[0], command, os.environ)
    _, status, usage = os.wait4(pid, 0)
    if status != 0:
        sys.exit(f"run_bench: {command[0]} failed")
    walls.append(time.perf_counter() - start)
    cpus.append(usage.ru_utime + usage.ru_stime)
with open(out, "w") as f:
    f.write(f"{min(walls):.6f} {min(cpus):.6f}\n")
' "$work/time.txt" "$repeat" "$@"
  read -r best_wall best_cpu <"$work/time.txt"
  /usr/bin/time -f %M -o "$work/rss.txt" "$@"
  peak_kib=$(tail -n 1 "$work/rss.txt")
}

printf 'machine: %s, %s CPUs, load %s\n' "$(uname -m)" "$(nproc)" "$(cut -d' ' -f1-3 /proc/loadavg)"
printf 'navdump: %s\ngpsdecode: %s\n' "$navdump" "$(command -v gpsdecode) ($(gpsdecode -V 2>&1 | head -1))"
if [[ -f $receiver_logs/files.json ]]; then
  printf 'logs: the receiver logs of %s, joined and repeated\n' "$receiver_logs"
else
  printf 'logs: gpssim (no receiver logs at %s)\n' "$receiver_logs"
  receiver_logs=""
fi
printf 'best of %d runs; MB = 10^6 bytes; cpu = user + system; RSS = maximum resident set size\n\n' "$repeat"
printf '%-6s %-9s %8s %8s %8s %9s %9s %9s\n' proto tool log_MB wall_s cpu_s wall_MB/s cpu_MB/s RSS_MiB

status=0
for protocol in nmea tsip; do
  big=$work/big.$protocol
  small=$work/small.$protocol
  if [[ -n $receiver_logs ]]; then
    mb=$nmea_mb
    [[ $protocol == tsip ]] && mb=$tsip_mb
    real_log "$protocol" "$mb" "$big"
    head -c $(( $(stat -c %s "$big") / 10 )) "$big" >"$small"
  else
    make_log "$protocol" "$log_mb" "$big"
    make_log "$protocol" $(( log_mb / 10 )) "$small"
  fi
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
  awk -v r="$cpu_ratio" -v t="$target" 'BEGIN {exit !(r >= t)}' || verdict=MISSED
  (( nav_kib < gd_kib )) || verdict=MISSED
  # Flat memory: the large log's peak within 10% (or 512 KiB) of the small log's.
  awk -v a="$nav_kib" -v b="$small_kib" 'BEGIN {exit !(a <= b * 1.1 || a - b <= 512)}' || verdict=MISSED
  printf '  %s: navdump %sx gpsdecode by CPU time, %sx by wall time (target >= %sx); peak RSS %s KiB vs %s KiB, %s KiB on the 10x smaller log: %s\n\n' \
    "$protocol" "$cpu_ratio" "$wall_ratio" "$target" "$nav_kib" "$gd_kib" "$small_kib" "$verdict"
  [[ $verdict == ok ]] || status=1
  rm -f "$small"
  if [[ -n $receiver_logs ]]; then
    mv "$big" "$work/bench.$protocol"  # for the bare decoders below
  else
    rm -f "$big"
  fi
done

if [[ -x $build/bench/decoder_bench ]]; then
  echo "bare decoders (target: NMEA >= 300 MB/s; MB_per_s in 10^6 bytes per second):"
  if [[ -n $receiver_logs ]]; then
    export DECODER_BENCH_NMEA=$work/bench.nmea DECODER_BENCH_TSIP=$work/bench.tsip
  fi
  "$build/bench/decoder_bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
fi
exit $status
