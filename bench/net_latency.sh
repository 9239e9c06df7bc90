#!/usr/bin/env bash
# The fix server under Wine with real sockets: fixhost replays a gpssim NMEA log at 10 epochs a
# second for SECONDS while N gpsd clients (0, 1, 10, 40, 64) watch TPV and SKY; for each N it
# prints the latency from publish to receipt (fixhost notes the publish time, the client the
# arrival, same clock), the reports each client got, and fixhost's CPU time, whose growth with N
# is the cost per client. A measurement, not a test.
#   bench/net_latency.sh [WIN64_BUILD_DIR]     default build/win64 (fixhost and gpssim built)
# Environment: SECONDS_PER_RUN (default 20).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/win64}
run_seconds=${SECONDS_PER_RUN:-20}
fixhost=$build/bin/fixhost.exe
gpssim=$build/bin/gpssim.exe
for f in "$fixhost" "$gpssim"; do
  [[ -f $f ]] || { echo "net_latency: $f is missing; build fixhost and gpssim (win64)" >&2; exit 2; }
done
. "$root/scripts/wine-env.sh"
wine_env_start "$build" 1 >/dev/null
work=$(mktemp -d)
trap 'wine_env_stop; rm -rf "$work"' EXIT

wine "$gpssim" --protocol nmea --out "$(winepath -w "$work/nmea.gps")" --seconds 600 --fast \
  </dev/null >/dev/null 2>&1
base=$((30000 + RANDOM % 20000))
echo "clients  epochs  reports/client  fixhost CPU s  CPU ms/epoch  latency"
for n in 0 1 10 40 64; do
  port=$((base + 2 * n))
  wine "$fixhost" "$(winepath -w "$work/nmea.gps")" --nmea-port $((port + 1)) --gpsd-port $port \
    --interval 100 --seconds $((run_seconds + 2)) --stats --trace </dev/null >"$work/host.$n" 2>&1 &
  host=$!
  for i in $(seq 1 100); do grep -q serving "$work/host.$n" 2>/dev/null && break; sleep 0.1; done
  python3 "$root/bench/net_latency.py" "$n" "$port" "$run_seconds" "$work/arr.$n"
  wait "$host"
  stats=$(grep '^clients' "$work/host.$n")
  epochs=$(echo "$stats" | sed 's/.*epochs \([0-9]*\).*/\1/')
  cpu=$(echo "$stats" | sed 's/.*cpu \([0-9.]*\).*/\1/')
  reports=$(awk -v n="$n" 'END { if (n > 0) printf "%.0f", NR / n; else print "-" }' "$work/arr.$n")
  latency=$( [ "$n" -gt 0 ] && python3 "$root/bench/net_latency.py" report "$work/host.$n" "$work/arr.$n" || echo "-")
  per_epoch=$(echo "$cpu $epochs" | awk '{ if ($2 > 0) printf "%.3f", 1000 * $1 / $2; else print 0 }')
  printf "%7d  %6s  %14s  %13s  %12s  %s\n" "$n" "$epochs" "$reports" "$cpu" "$per_epoch" "$latency"
done
