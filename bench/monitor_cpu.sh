#!/usr/bin/env bash
# CPU time of pelmora.exe under Wine over a minute, idle (Off), live on a simulated receiver
# (gpssim at one epoch a second on a pseudo-terminal mapped to COM5, UpdateInterval 2, four
# constellations), and live again with the workbench window open on each of its tabs, read
# from /proc/PID/stat (utime + stime) of the program and of the wineserver at the start and the
# end of the minute. Runs in a copy of the build's Wine prefix under its own Xvfb.
#   bench/monitor_cpu.sh [BUILD_DIR] [SECONDS]   (default build/win64, 60)
# PELMORA_CPU_SHOT=FILE.png saves the screen at the end of the live minute.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build/win64}
seconds=${2:-60}
gpssim=$here/build/native/tools/gpssim
[ -x "$gpssim" ] || { echo "build the native gpssim first" >&2; exit 1; }
. "$here/scripts/wine-env.sh"
pids=()
wine_private_start "$build" cpu
dir=$WINE_PRIVATE_DIR
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wine_private_stop
}
trap cleanup EXIT
wine reg add 'HKCU\Software\Halvorn\Pelmora' /v ComPort /t REG_SZ /d 5 /f >/dev/null 2>&1
socat "pty,raw,echo=0,link=$dir/gps" "pty,raw,echo=0,link=$dir/feed" &
pids+=($!)
sleep 1
ln -sfn "$dir/gps" "$WINEPREFIX/dosdevices/com5"

ticks=$(getconf CLK_TCK)
# The newest process matching PATTERN that runs in this prefix (other Wine runs may be about).
mine() {
  local p
  for p in $(pgrep -f "$1" | sort -rn); do
    tr '\0' '\n' <"/proc/$p/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX" &&
      { echo "$p"; return; }
  done
}
cpu() { awk '{print $14 + $15}' "/proc/$1/stat"; }  # utime + stime in clock ticks

# measure LABEL APP_PID SERVER_PID: CPU of the program and the wineserver over the interval.
measure() {
  local label=$1 app=$2 server=$3 a0 s0 a1 s1
  a0=$(cpu "$app")
  s0=$(cpu "$server")
  sleep "$seconds"
  a1=$(cpu "$app")
  s1=$(cpu "$server")
  awk -v l="$label" -v a=$((a1 - a0)) -v s=$((s1 - s0)) -v t="$ticks" -v n="$seconds" 'BEGIN {
    printf "%-11s pelmora.exe %.2f s CPU (%.2f%%), wineserver %.2f s (%.2f%%) over %d s\n",
           l, a / t, 100 * a / t / n, s / t, 100 * s / t / n, n }'
}

# The GIS stand-in answers the client link the program opens at start (without it a message box
# would stand over the window).
gis_peer_start "$build/bin" "$dir"
wine "$build/bin/pelmora.exe" </dev/null >/dev/null 2>&1 &
pids+=($!)
window=""
for _ in $(seq 1 100); do
  window=$(xdotool search --name '^The Pelmora$' 2>/dev/null | head -n 1 || true)
  [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || { echo "the window did not appear" >&2; exit 1; }
sleep 3  # past the splash
app=$(mine 'pelmora\.exe')
server=$(mine '^/usr/lib/wine/wineserver|^wineserver')
[ -n "$app" ] && [ -n "$server" ] || { echo "pelmora.exe or its wineserver not found" >&2; exit 1; }
measure idle "$app" "$server"
"$gpssim" --protocol nmea --systems all --seconds $((4 * seconds + 60)) --out "$dir/feed" >/dev/null 2>&1 &
pids+=($!)
xdotool windowfocus --sync "$window" 2>/dev/null || true
xdotool key F3
sleep 3
measure live "$app" "$server"
# The workbench open (Ctrl+W), a minute on each tab (Ctrl+Tab to the next).
xdotool key ctrl+w
sleep 2
for tab in satellites accuracy history messages; do
  measure "$tab" "$app" "$server"
  xdotool key ctrl+Tab
done
# What the live minute ended on, to see that the fix was moving.
if [ -n "${PELMORA_CPU_SHOT:-}" ]; then import -window root "$PELMORA_CPU_SHOT"; fi
