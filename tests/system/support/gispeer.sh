# Sourced by the Wine test scripts: the GIS stand-in beside pelmora.exe, so that the client link
# connects at start instead of showing message 29 before the window. It ends with the prefix's
# wineserver.
#   start_gispeer PELMORA_EXE OUT   starts gispeer.exe (no log), its output in OUT; sets
#                                   gispeer_pid and waits until it is ready
gispeer_pid=""

start_gispeer() {
  wine "$(dirname "$1")/gispeer.exe" --log NUL </dev/null >"$2" 2>&1 &
  gispeer_pid=$!
  for _ in $(seq 1 100); do
    grep -q ready "$2" 2>/dev/null && return 0
    sleep 0.1
  done
}
