#!/usr/bin/env bash
# Settings across runs, in a fresh copy of the build's Wine prefix:
#  1. a user without settings starts with exactly the default options (read through hvnreg32);
#  2. values written with "wine reg add" are read at the next start, odd texts included;
#  3. the start position stored at close is read back at the next start;
#  4. pelmora.exe itself: the first start creates the settings key and stores nothing when
#     closed in Off mode; stored Minimize/OnTop/SpeedUnits change the next start.
# usage: settings_system_test.sh SETTINGS_PROBE_EXE PELMORA_EXE
# Needs WINEPREFIX (the prefix to copy) and DISPLAY, as set by scripts/wine-env.sh.
set -u -o pipefail
probe=$1
pelmora=$2
: "${WINEPREFIX:?WINEPREFIX is not set}"
: "${DISPLAY:?DISPLAY is not set}"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
source "$(dirname "${BASH_SOURCE[0]}")/../support/gispeer.sh"
source "$(dirname "${BASH_SOURCE[0]}")/../support/verdict.sh"
source "$(dirname "${BASH_SOURCE[0]}")/../../../scripts/wine-env.sh"

fresh=$(mktemp -d "${TMPDIR:-/tmp}/pelmora-settings.XXXXXX")
cleanup() {
  WINEPREFIX=$fresh wine_prefix_copy_stop
  rm -rf "$fresh"
}
trap cleanup EXIT
wine_prefix_copy "$fresh"

key='HKCU\Software\Halvorn\Pelmora'
# Every wine process below is started with its output detached from ctest's pipes, so that the
# prefix's service processes never hold them open.
run() { wine "$@" </dev/null 2>/dev/null | tr -d '\r'; }
reg_add() { wine reg add "$key" /v "$1" /t REG_SZ /d "$2" /f </dev/null >/dev/null 2>&1; }
reg_value() {  # prints the stored text of a value, or nothing when it is missing
  wine reg query "$key" /v "$1" </dev/null 2>/dev/null | tr -d '\r' |
    sed -n "s/^ *$1 *REG_SZ *//p"
}

# A fresh user: no settings key at all.
wine reg delete 'HKCU\Software\Halvorn' /f </dev/null >/dev/null 2>&1
if wine reg query "$key" </dev/null >/dev/null 2>&1; then fail "settings key present in fresh prefix"; fi

appdir=$(winepath -w "$(dirname "$probe")" 2>/dev/null | tr -d '\r')
appdir=${appdir%\\}
expected_defaults="appDirectory=$appdir
UpdateInterval=2
GpsType=1
ComPort=1
BaudRate=4800
Parity=0
DataBits=8
StopBits=0
ElevUnits=0
SpeedUnits=0
TrackTrue=1
TimeUTC=1
UTCOffset=0
Beep=0
GeoFormat=3
GeoPrecision=2
Minimize=0
OnTop=0
DDEIgnore=0
changed=1
GPSMode=0
fixedTwo=2
GPSTrackMode=1
GPSHtReference=0
GPSDynamics=1
reserved12=0
GPSInitLat=0.0
GPSInitLon=0.0
reserved32=0.0
GPS2DElev=0.0
GPSElevMask=10
GPSSignalMask=4
GPSPDOPMask=12
GPSPDOPSwitch=5
almanacPath=$appdir\\tsipalm.dat
GPSNMEASettingsFile="

defaults=$(run "$probe" load)
if [ "$defaults" != "$expected_defaults" ]; then
  fail "fresh start does not give the defaults"
  diff <(echo "$expected_defaults") <(echo "$defaults")
fi
# Reading created the key (and wrote nothing into it).
if ! wine reg query "$key" </dev/null >/dev/null 2>&1; then fail "first read did not create $key"; fi
if [ -n "$(reg_value BaudRate)" ]; then fail "a read stored a value"; fi

# Stored values, as a user or an installer would write them.
reg_add BaudRate ' 9600'
reg_add UpdateInterval '96OO'
reg_add GpsType '2'
reg_add ComPort '0x0C'
reg_add DataBits '7'
reg_add StopBits ''
reg_add GeoFormat '$5'
reg_add UTCOffset '-5'
reg_add GPSMode '4'
reg_add GPSElevMask '-3.5'
reg_add GPS2DElev '-120'
reg_add GPSNMEASettingsFile 'C:\gps\setup.nsf'
stored=$(run "$probe" load)
for line in UpdateInterval=96 GpsType=2 ComPort=12 BaudRate=9600 DataBits=7 StopBits=0 \
  GeoFormat=5 UTCOffset=-5 GPSMode=4 GPSElevMask=3 GPS2DElev=-120.0 \
  'GPSNMEASettingsFile=C:\gps\setup.nsf' Parity=0 TrackTrue=1 GPSPDOPSwitch=5; do
  grep -qxF -- "$line" <<<"$stored" || fail "stored values: expected $line"
done

# The start position written at close comes back at the next start.
run "$probe" store -33.87 151.21 >/dev/null || fail "store position"
[ "$(reg_value GPSInitLat)" = "-33" ] || fail "GPSInitLat stored as '$(reg_value GPSInitLat)'"
[ "$(reg_value GPSInitLon)" = "151" ] || fail "GPSInitLon stored as '$(reg_value GPSInitLon)'"
next=$(run "$probe" load)
grep -qx 'GPSInitLat=-33.0' <<<"$next" || fail "GPSInitLat not read back"
grep -qx 'GPSInitLon=151.0' <<<"$next" || fail "GPSInitLon not read back"

# The program itself.
start_pelmora() {
  wine "$pelmora" </dev/null >/dev/null 2>&1 &
  pelmora_pid=$!
}
stop_pelmora() {
  run "$probe" close 20 >/dev/null || fail "pelmora.exe did not close"
  for _ in $(seq 1 100); do
    kill -0 "$pelmora_pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$pelmora_pid" 2>/dev/null; then
    fail "pelmora.exe still running"
    kill "$pelmora_pid" 2>/dev/null
  fi
  wait "$pelmora_pid" 2>/dev/null
}

start_gispeer "$pelmora" "$fresh/gispeer.out"
wine reg delete 'HKCU\Software\Halvorn' /f </dev/null >/dev/null 2>&1
start_pelmora
first=$(run "$probe" window 30) || fail "pelmora.exe window did not appear"
stop_pelmora
grep -qx 'iconic=0' <<<"$first" || fail "fresh start: window minimised"
grep -qx 'topmost=0' <<<"$first" || fail "fresh start: window on top"
wine reg query "$key" </dev/null >/dev/null 2>&1 || fail "pelmora.exe did not create $key"
[ -z "$(reg_value GPSInitLat)" ] || fail "closing in Off mode stored a start position"

reg_add Minimize 1
reg_add OnTop 1
reg_add SpeedUnits 1
reg_add ElevUnits 1
start_pelmora
second=$(run "$probe" window 30) || fail "pelmora.exe window did not appear (second start)"
stop_pelmora
grep -qx 'iconic=1' <<<"$second" || fail "stored Minimize=1 not applied at start"
grep -qx 'topmost=1' <<<"$second" || fail "stored OnTop=1 not applied at start"
# The speed and elevation captions carry the unit suffix of the stored options.
[ "$(grep -a '^text=' <<<"$first")" != "$(grep -a '^text=' <<<"$second")" ] ||
  fail "stored units did not change any caption"

verdict "settings system test"
