#!/usr/bin/env bash
# The replay's pace under Wine, as the program keeps it: log seconds per wall second at each
# speed over WINDOW wall seconds. pelmora.exe replays a gpssim log re-stamped to each rate of
# RATES_HZ (epochs a second); ddecmd sets SPEED x, lets three seconds pass, reads the DDE item
# Time (the receiver time of the last update step, to 0.01 s), waits WINDOW seconds on the same
# conversation and reads it again. The figure is the difference of the two over WINDOW: Timer1's
# real period under Wine, the pacing and its bound of epochs a tick together. A figure only.
# Runs in a copy of the build's Wine prefix under its own Xvfb (its options stay as they were);
# run it under flock /tmp/pelmora-wine.lock.
#   bench/player_speed.sh [BUILD_DIR]   (default build/win64: pelmora, gpssim, ddecmd, gispeer)
# Environment: SPEEDS (default "1 8 16"), WINDOW (default 60), RATES_HZ (default "1 10").
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build/win64}
speeds=${SPEEDS:-1 8 16}
window=${WINDOW:-60}
rates=${RATES_HZ:-1 10}
. "$here/scripts/wine-env.sh"
pelmora_bench_start "$build" speed gpssim
# CPU seconds pelmora.exe has used (user + system).
cpu() { awk -v hz="$(getconf CLK_TCK)" '{ print ($14 + $15) / hz }' "/proc/$pelmora/stat"; }

# Enough log for every speed's window, from 08:00 (no midnight inside): gpssim's 1 Hz epochs,
# re-stamped 1/rate s apart (the GGA, RMC and ZDA times; checksums renewed).
span=$(( (${speeds// /+}) * (window + 5) + 120 ))
for rate in $rates; do
  wine "$bin/gpssim.exe" --protocol nmea --fast --seconds $((span * rate)) \
    --start 2024-03-15T08:00:00 --out "$(winepath -w "$dir/sim.gps")" </dev/null >/dev/null 2>&1
  python3 - "$dir/sim.gps" "$dir/${rate}hz.gps" "$rate" <<'PY'
import sys
rate = int(sys.argv[3])
def stamp(t):
    t = round(t * 100)
    return "%02d%02d%02d.%02d" % (t // 360000, t // 6000 % 60, t // 100 % 60, t % 100)
with open(sys.argv[1]) as f, open(sys.argv[2], "w", newline="\r\n") as out:
    for line in f:
        body = line.strip()[1:].split("*")[0]
        fields = body.split(",")
        if fields[0][2:] in ("GGA", "RMC", "ZDA"):
            k = int(fields[1][:2]) * 3600 + int(fields[1][2:4]) * 60 + int(fields[1][4:6]) - 28800
            fields[1] = stamp(28800 + k / rate)
        body = ",".join(fields)
        check = 0
        for c in body:
            check ^= ord(c)
        out.write("$%s*%02X\n" % (body, check))
PY
done

echo "pelmora.exe replay pace: log s per wall s over ${window} s ($(nproc) cores, load $(cut -d' ' -f1 /proc/loadavg))"
printf '%-6s %-6s %10s %10s %9s %6s\n' rate speed 'log s' 'per s' 'of speed' 'CPU'
for rate in $rates; do
  ddecmd pelmora HVN execute "PLAY $(winepath -w "$dir/${rate}hz.gps")" >/dev/null
  for speed in $speeds; do
    before=$(cpu) start=$(date +%s.%N)
    times=($(ddecmd pelmora HVN execute "SPEED $speed" wait 3 request Time wait "$window" \
      request Time | sed -n 's/^\([0-9.]*\)\\r\\n.*/\1/p'))
    awk -v a="${times[0]:-0}" -v b="${times[1]:-0}" -v w="$window" -v r="$rate" -v s="$speed" \
      -v c="$(cpu)" -v c0="$before" -v t="$(date +%s.%N)" -v t0="$start" 'BEGIN {
      d = b - a; printf "%-6s %-6s %10.2f %10.3f %8.1f%% %5.1f%%\n", r " Hz", s "x", d, d / w,
        100 * d / w / s, 100 * (c - c0) / (t - t0) }'
  done
done
ddecmd pelmora HVN execute "SPEED TICK" execute EXIT >/dev/null || true
ddecmd MapInfo gispeer execute quit >/dev/null || true
