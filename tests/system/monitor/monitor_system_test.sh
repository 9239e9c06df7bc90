#!/usr/bin/env bash
# Runs monitor_system_tests against pelmora.exe in a fresh copy of the build's Wine prefix:
# ComPort 5 and UpdateInterval 1 are stored, socat makes a pseudo-terminal pair mapped to COM5
# (the program's port) and COM6 (the receiver's side, written by the test). When the test asks
# (request file), socat is ended so that the receiver vanishes under the open port.
#   monitor_system_test.sh TEST_EXE EMULATOR
# Needs WINEPREFIX (the prefix to copy) and DISPLAY, as set by scripts/wine-env.sh.
set -uo pipefail
test_exe=$1
emulator=$2
: "${WINEPREFIX:?WINEPREFIX is not set}"
: "${DISPLAY:?DISPLAY is not set}"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

dir=$(mktemp -d "${TMPDIR:-/tmp}/pelmora-monitor.XXXXXX")
template=$WINEPREFIX
export WINEPREFIX=$dir/prefix
socat_pid=""
cleanup() {
  if [ -n "$socat_pid" ]; then
    kill "$socat_pid" 2>/dev/null
    wait "$socat_pid" 2>/dev/null
  fi
  wineserver -k >/dev/null 2>&1
  rm -rf "$dir"
}
trap cleanup EXIT
cp -a "$template/." "$WINEPREFIX/"
wineserver -p </dev/null >/dev/null 2>&1
key='HKCU\Software\Halvorn\Pelmora'
for option in ComPort=5 UpdateInterval=1; do
  wine reg add "$key" /v "${option%%=*}" /t REG_SZ /d "${option#*=}" /f </dev/null >/dev/null 2>&1
done

socat -d -d "pty,raw,echo=0,link=$dir/gps" "pty,raw,echo=0,link=$dir/feed" 2>"$dir/socat.log" &
socat_pid=$!
for _ in $(seq 1 50); do
  [ -e "$dir/gps" ] && [ -e "$dir/feed" ] && break
  sleep 0.1
done
if ! [ -e "$dir/gps" ] || ! [ -e "$dir/feed" ]; then
  echo "socat did not create the pty pair" >&2
  cat "$dir/socat.log" >&2
  exit 1
fi
ln -sfn "$dir/gps" "$WINEPREFIX/dosdevices/com5"
ln -sfn "$dir/feed" "$WINEPREFIX/dosdevices/com6"
export PELMORA_TEST_FEED_PORT=COM6

request="$dir/unplug-request"
export PELMORA_TEST_UNPLUG_REQUEST="Z:${request//\//\\}"
"$emulator" "$test_exe" &
test_pid=$!
while kill -0 "$test_pid" 2>/dev/null; do
  if [ -n "$socat_pid" ] && [ -e "$request" ]; then
    kill "$socat_pid" 2>/dev/null
    wait "$socat_pid" 2>/dev/null
    socat_pid=""
  fi
  sleep 0.1
done
wait "$test_pid"
