#!/usr/bin/env bash
# Runs monitor_system_tests against pelmora.exe in a fresh copy of the build's Wine prefix:
# ComPort 5 and UpdateInterval 1 are stored, socat makes a pseudo-terminal pair mapped to COM5
# (the program's port) and COM6 (the receiver's side, written by the test). When the test asks
# (request file), socat is ended so that the receiver vanishes under the open port.
#   monitor_system_test.sh TEST_EXE EMULATOR
# Needs WINEPREFIX (the prefix to copy) and DISPLAY, as set by scripts/wine-env.sh.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../support/pty_pair.sh"
source "$(dirname "${BASH_SOURCE[0]}")/../../../scripts/wine-env.sh"
test_exe=$1
emulator=$2
: "${WINEPREFIX:?WINEPREFIX is not set}"
: "${DISPLAY:?DISPLAY is not set}"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

dir=$(mktemp -d "${TMPDIR:-/tmp}/pelmora-monitor.XXXXXX")
cleanup() {
  stop_pty_pair
  WINEPREFIX=$dir/prefix wine_prefix_copy_stop
  rm -rf "$dir"
}
trap cleanup EXIT
wine_prefix_copy "$dir/prefix"
key='HKCU\Software\Halvorn\Pelmora'
for option in ComPort=5 UpdateInterval=1; do
  wine reg add "$key" /v "${option%%=*}" /t REG_SZ /d "${option#*=}" /f </dev/null >/dev/null 2>&1
done

start_pty_pair "$dir"
ln -sfn "$dir/gps" "$WINEPREFIX/dosdevices/com5"
ln -sfn "$dir/feed" "$WINEPREFIX/dosdevices/com6"
export PELMORA_TEST_FEED_PORT=COM6

request="$dir/unplug-request"
export PELMORA_TEST_UNPLUG_REQUEST="Z:${request//\//\\}"
"$emulator" "$test_exe" &
test_pid=$!
while kill -0 "$test_pid" 2>/dev/null; do
  if [ -n "$socat_pid" ] && [ -e "$request" ]; then
    stop_pty_pair
  fi
  sleep 0.1
done
wait "$test_pid"
