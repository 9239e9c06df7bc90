#!/usr/bin/env bash
# Executes per second that pelmora.exe's DDE server sustains under Wine: ddecmd sends N macro
# executes on one conversation, each awaited (synchronous), and prints how long they took
# (--stats). Measured for a first line that matches no command (only
# TestLabel changes) and for OFF (the mode handler runs and "OFF" goes on to the GIS stand-in),
# then for four clients at once. gispeer runs first so the client link is up. Runs in a copy of
# the build's Wine prefix under its own Xvfb.
#   bench/dde_execute_rate.sh [BUILD_DIR] [N]   (default build/win64, 2000)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build/win64}
n=${2:-2000}
. "$here/scripts/wine-env.sh"
pelmora_bench_start "$build" dde

# rate LABEL CLIENTS [ddecmd options]: N executes per client, all clients at once; the rate is
# every client's transactions over the longest client's time (ddecmd --stats: from connected to
# the last answer, process start excluded).
rate() {
  local label=$1 clients=$2 i pids=()
  shift 2
  for i in $(seq 1 "$clients"); do
    ddecmd --stats --tries 5 --repeat "$n" "$@" >"$dir/client$i.out" &
    pids+=($!)
  done
  wait "${pids[@]}" || true  # a failed client says why below
  cat "$dir"/client*.out | awk -v l="$label" '
    / transactions in / { t += $1; if ($4 > ms) ms = $4 }
    !/ transactions in / { print "  " $0 }
    END { printf "%-36s %6d executes in %6.2f s: %6.0f executes/s\n", l, t, ms / 1000,
                 (ms > 0 ? t * 1000 / ms : 0) }'
  rm -f "$dir"/client*.out
}

echo "pelmora.exe DDE server, $n executes per client ($(nproc) cores, load $(cut -d' ' -f1 /proc/loadavg))"
rate "unknown word, synchronous" 1 pelmora HVN execute bench
rate "OFF (to the GIS too), synchronous" 1 pelmora HVN execute OFF
rate "unknown word, 4 clients" 4 pelmora HVN execute bench
echo "GIS stand-in received $(grep -c '^OFF' "$dir/gis.log" || true) OFF commands"
ddecmd pelmora HVN execute EXIT >/dev/null || true
ddecmd MapInfo gispeer execute quit >/dev/null || true
