#!/usr/bin/env bash
# Runs navlib_serial_test under Wine against a simulated receiver: socat makes a pseudo-terminal
# pair, mapped to COM5 (the DLL's port) and COM6 (the receiver's side) in the prefix's
# dosdevices; COM9 is kept unmapped. The vanish case runs last and alone: when it asks (request
# file), socat is ended so that the device disappears under the open port. Everything this
# script starts or links is removed again on exit.
#   run_serial_test.sh TEST_EXE EMULATOR
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../../system/support/pty_pair.sh"
test_exe=$1
emulator=$2
: "${WINEPREFIX:?WINEPREFIX is not set}"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

dir=$(mktemp -d /tmp/pelmora-serial.XXXXXX)
dos="$WINEPREFIX/dosdevices"
declare -A saved

cleanup() {
  stop_pty_pair
  local port
  for port in com5 com6 com9; do
    rm -f "$dos/$port"
    if [ -n "${saved[$port]:-}" ]; then ln -sfn "${saved[$port]}" "$dos/$port"; fi
  done
  rm -rf "$dir"
}
trap cleanup EXIT

# Keep whatever the prefix mapped to our ports, to put it back afterwards.
for port in com5 com6 com9; do
  if [ -L "$dos/$port" ]; then saved[$port]=$(readlink "$dos/$port"); fi
done
rm -f "$dos/com9"

start_pty_pair "$dir"
ln -sfn "$dir/gps" "$dos/com5"
ln -sfn "$dir/feed" "$dos/com6"
export PELMORA_TEST_GPS_PORT=COM5 PELMORA_TEST_FEED_PORT=COM6

# The emulator (cmake/wine-run) keeps Wine's helper processes off the caller's pipes.
"$emulator" "$test_exe" --gtest_filter='-SerialEngineVanish.*'
rc_main=$?

request="$dir/vanish-request"
export PELMORA_TEST_VANISH_REQUEST="Z:${request//\//\\}"
"$emulator" "$test_exe" --gtest_filter='SerialEngineVanish.*' &
test_pid=$!
for _ in $(seq 1 150); do
  if [ -e "$request" ]; then
    stop_pty_pair
    break
  fi
  kill -0 "$test_pid" 2>/dev/null || break
  sleep 0.1
done
wait "$test_pid"
rc_vanish=$?

[ "$rc_main" -eq 0 ] && [ "$rc_vanish" -eq 0 ]
