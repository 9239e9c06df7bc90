#!/usr/bin/env bash
# The settings dialogs and the Help menu of pelmora.exe, in a fresh copy of the build's Wine
# prefix, driven from outside the process like a user:
#  1. a replay of a gpssim log runs; each dialog is opened from the real menu (WM_COMMAND);
#  2. its window is read from outside: caption, size, centring, owner, every child's text and
#     state; screenshots go to DIALOG_SHOTS (default: the working directory);
#  3. values are changed by clicks (BM_CLICK, real mouse clicks with xdotool on the spin arrows
#     and a radio button), list selections, keys and the common file dialog, then confirmed;
#  4. the registry values written are checked with "wine reg query", and their effect on the
#     next update step of the replay (units and time reference on the labels, the reopen);
#  5. help pages and web pages reach a stand-in browser; About shows the version text;
#  6. after a restart the dialogs show what was stored.
# usage: dialogs_system_test.sh DIALOG_PROBE_EXE PELMORA_EXE GPSSIM_EXE
# Needs WINEPREFIX (the prefix to copy) and DISPLAY, as set by scripts/wine-env.sh.
set -u -o pipefail
probe=$1
pelmora=$2
gpssim=$3
: "${WINEPREFIX:?WINEPREFIX is not set}"
: "${DISPLAY:?DISPLAY is not set}"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
source "$(dirname "${BASH_SOURCE[0]}")/../support/gispeer.sh"
source "$(dirname "${BASH_SOURCE[0]}")/../support/verdict.sh"
source "$(dirname "${BASH_SOURCE[0]}")/../../../scripts/wine-env.sh"
shots=${DIALOG_SHOTS:-$PWD}

fresh=$(mktemp -d "${TMPDIR:-/tmp}/pelmora-dialogs.XXXXXX")
pelmora_pid=""
cleanup() {
  [ -n "$pelmora_pid" ] && kill "$pelmora_pid" 2>/dev/null
  WINEPREFIX=$fresh wine_prefix_copy_stop
  rm -rf "$fresh"
}
trap cleanup EXIT
wine_prefix_copy "$fresh"

key='HKCU\Software\Halvorn\Pelmora'
p() { wine "$probe" "$@" </dev/null 2>/dev/null | tr -d '\r'; }
reg_value() {  # the stored text of a value, or nothing when it is missing
  wine reg query "$key" /v "$1" </dev/null 2>/dev/null | tr -d '\r' | sed -n "s/^ *$1 *REG_SZ *//p"
}
expect_reg() {  # expect_reg NAME=TEXT...: the stored values, read in one query
  local values pair got
  values=$(wine reg query "$key" </dev/null 2>/dev/null | tr -d '\r')
  for pair in "$@"; do
    got=$(sed -n "s/^ *${pair%%=*} *REG_SZ *//p" <<<"$values")
    [ "$got" = "${pair#*=}" ] || fail "registry ${pair%%=*} is '$got', expected '${pair#*=}'"
  done
}
# The line of a dump for a control id, and one field of it (3 visible, 4 enabled, 5 state, 7 text).
row() { grep -a "^$2|" <<<"$1" | head -n 1; }
field() { row "$1" "$2" | cut -d'|' -f"$3"; }
expect_field() {  # expect_field DUMP ID FIELD VALUE WHAT
  local got
  got=$(field "$1" "$2" "$3")
  [ "$got" = "$4" ] || fail "$5: control $2 field $3 is '$got', expected '$4'"
}
shot() { import -window root "$shots/dialogs-$1.png" 2>/dev/null || true; }
wait_label() {  # wait_label ID PATTERN [SECONDS]: until the main window's label matches
  local i text=""
  for i in $(seq 1 $((${3:-10} * 5))); do
    text=$(p label "$1")
    grep -qE -- "$2" <<<"$text" && return 0
    sleep 0.2
  done
  fail "label $1 is '$text', expected /$2/"
  return 1
}
open_dialog() {  # open_dialog MENU_ID CAPTION: prints the window's geometry lines
  p command "$1"
  p wait "$2" 10 || fail "'$2' did not open"
}
check_window() {  # check_window GEOMETRY WIDTH HEIGHT OWNER WHAT: size, centring, owner
  local geo="$1" w h x y sw sh
  grep -qx "class=PelmoraDialog" <<<"$geo" || fail "$5: not a Pelmora dialog"
  grep -qx "client=$2,$3" <<<"$geo" || fail "$5: client area is not $2 x $3"
  grep -qx "owner=$4" <<<"$geo" || fail "$5: not owned by '$4'"
  grep -qx "sizable=0" <<<"$geo" || fail "$5: can be resized"
  grep -qx "ownerEnabled=0" <<<"$geo" || fail "$5: owner still takes input"
  IFS=, read -r x y w h <<<"$(sed -n 's/^window=//p' <<<"$geo")"
  IFS=, read -r sw sh <<<"$(sed -n 's/^screen=//p' <<<"$geo")"
  [ "$x" -eq $((sw / 2 - w / 2)) ] && [ "$y" -eq $((sh / 2 - h / 2)) ] ||
    fail "$5: not centred ($x,$y for $w x $h)"
}
real_click() {  # real_click CAPTION ID [up|down]: a mouse click where the control shows
  local point
  point=$(p point "$1" "$2" ${3:-})
  [ -n "$point" ] || { fail "no point for $2 in '$1'"; return; }
  # shellcheck disable=SC2086
  xdotool mousemove $point click 1
  sleep 0.3
}

# The stand-in browser: every page or address the program opens is recorded.
opened="$fresh/drive_c/opened.txt"
: >"$opened"
recorder="\"$(winepath -w "$probe" 2>/dev/null | tr -d '\r')\" record C:\\opened.txt \"%1\""
wine reg add 'HKCR\.html' /ve /t REG_SZ /d htmlfile /f </dev/null >/dev/null 2>&1
for k in htmlfile http https; do
  wine reg add "HKCR\\$k\\shell\\open\\command" /ve /t REG_SZ /d "$recorder" /f \
    </dev/null >/dev/null 2>&1
done
wait_opened() {  # wait_opened LINE_NUMBER TEXT: the recorder's line N is TEXT (within 15 s)
  local i
  for i in $(seq 1 150); do
    [ "$(sed -n "${1}p" "$opened" | tr -d '\r')" = "$2" ] && return 0
    sleep 0.1
  done
  fail "opened #$1 is '$(sed -n "${1}p" "$opened" | tr -d '\r')', expected '$2'"
}

# A fresh user, a log to replay and a setup file to browse for.
wine reg delete 'HKCU\Software\Halvorn' /f </dev/null >/dev/null 2>&1
log="$fresh/drive_c/track.gps"
wine "$gpssim" --protocol nmea --seconds 900 --fast --speed 10 --height 100 \
  --start 2024-05-01T08:30:00 \
  --out 'C:\track.gps' </dev/null >/dev/null 2>&1 || fail "gpssim"
mkdir -p "$fresh/drive_c/gps"
printf '$PGRMO,GPRMC,1*3D\r\n' >"$fresh/drive_c/gps/garmin.nsf"
[ -s "$log" ] || fail "no log made"
appdir=$(winepath -w "$(dirname "$pelmora")" 2>/dev/null | tr -d '\r')
appdir=${appdir%\\}

start_pelmora() {
  wine "$pelmora" "$@" </dev/null >/dev/null 2>&1 &
  pelmora_pid=$!
  p wait "The Pelmora" 30 >/dev/null || fail "main window did not appear"
}
stop_pelmora() {
  p command 40005  # File > Exit
  local i
  for i in $(seq 1 100); do
    kill -0 "$pelmora_pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$pelmora_pid" 2>/dev/null && { fail "pelmora.exe did not end"; kill "$pelmora_pid"; }
  wait "$pelmora_pid" 2>/dev/null
  pelmora_pid=""
}

start_gispeer "$pelmora" "$fresh/gispeer.out"
start_pelmora 'C:\track.gps'
wait_label 1002 'Doing position fixes' 15
wait_label 1108 ' mph$'
wait_label 1106 ' ft$'

# --- Set GPS Receiver Options: the type switch shows the TSIP defaults; Cancel stores nothing.
G="Set GPS Receiver Options"
geo=$(open_dialog 40012 "$G")
check_window "$geo" 330 247 "The Pelmora" "$G"
d=$(p dump "$G")
shot gps-settings
for pair in "2100|GPS MessageType" "2103|Com Port" "2105|Baud Rate" "2107|Parity" \
  "2113|Data Bits" "2116|Stop Bits" "2102|Settings..." "2110|None" "2111|Odd" "2112|Even" \
  "2114|7" "2115|8" "2117|1" "2118|2" "2120|OK" "2121|Cancel" "2122|Help"; do
  expect_field "$d" "${pair%%|*}" 7 "${pair#*|}" "$G texts"
done
expect_field "$d" 2101 5 "items=2,sel=0" "$G type list"
expect_field "$d" 2104 5 "items=12,sel=0" "$G port list"
expect_field "$d" 2106 7 "4800" "$G baud"
for id in 2110 2115 2117; do expect_field "$d" $id 5 1 "$G defaults"; done
p select "$G" 2101 1
sleep 0.3
d=$(p dump "$G")
expect_field "$d" 2106 7 "9600" "TSIP default baud"
expect_field "$d" 2111 5 1 "TSIP default parity"
p click "$G" 2121
p gone "$G" 5 || fail "Cancel did not close"
[ -z "$(reg_value GpsType)" ] || fail "Cancel stored GpsType"

# --- NMEA settings through "Settings...": browse for the setup file, Mean Sea Level by a mouse click.
open_dialog 40012 "$G" >/dev/null
p click "$G" 2102
N="NMEA GPS Receiver Settings"
geo=$(p wait "$N" 10) || fail "$N did not open"
check_window "$geo" 346 159 "$G" "$N"
d=$(p dump "$N")
shot nmea-settings
for pair in "2200|Elevation Reference" "2201|Ellipsoid" "2202|Mean Sea Level Geoid" \
  "2203|Setup Message Configuration File" "2204|File Name:" "2206|Browse..." "2210|OK"; do
  expect_field "$d" "${pair%%|*}" 7 "${pair#*|}" "$N texts"
done
expect_field "$d" 2201 5 1 "$N ellipsoid"
p click "$N" 2206
F="Specify a NMEA Settings File"
p wait "$F" 10 >/dev/null || fail "the file dialog did not open"
grep -q '|NMEA Settings File (\*.nsf)$' <<<"$(p dump "$F")" || fail "file dialog filter"
shot nmea-browse
p settext "$F" 1148:Edit 'C:\gps\garmin.nsf'
p click "$F" 1:Button
p gone "$F" 5 || fail "the file dialog did not close"
sleep 0.3
expect_field "$(p dump "$N")" 2205 7 'C:\gps\garmin.nsf' "browsed file"
real_click "$N" 2202
expect_field "$(p dump "$N")" 2202 5 1 "mouse click on Mean Sea Level Geoid"
p click "$N" 2210
p gone "$N" 5 || fail "$N OK did not close"
expect_reg GPSHtReference=1 GPSNMEASettingsFile='C:\gps\garmin.nsf'

# --- TSIP settings: shared height reference, the mode's spin edit, arrows, keys, no typing.
p select "$G" 2101 1
p click "$G" 2102
T="Trimble TSIP GPS Receiver Settings"
geo=$(p wait "$T" 10) || fail "$T did not open"
check_window "$geo" 424 293 "$G" "$T"
d=$(p dump "$T")
shot tsip-settings
for pair in "2300|2D / 3D Selection" "2301|2D Only" "2302|2D / 3D" "2303|3D Only" \
  "2304|Known Alt. (m):" "2306|Switch at PDOP:" "2310|Dynamics" "2314|Stationary" \
  "2320|Solution Method" "2321|Best 4 SVs" "2322|Highest 6 SVs" "2330|Mask Thresholds" \
  "2331|Min. Elev. Angle:" "2333|Min. Sig. Level:" "2335|Max. PDOP:" "2340|Elevation Reference" \
  "2350|OK" "2352|Help" "2305|0" "2307|5" "2332|10" "2334|4" "2336|12"; do
  expect_field "$d" "${pair%%|*}" 7 "${pair#*|}" "$T texts"
done
expect_field "$d" 2342 5 1 "height reference shared with NMEA"
expect_field "$d" 2302 5 1 "2D / 3D checked"
expect_field "$d" 2305 4 0 "AltEdit disabled in 2D / 3D"
expect_field "$d" 2305 5 readonly "AltEdit refuses typing"
p click "$T" 2301
sleep 0.3
d=$(p dump "$T")
expect_field "$d" 2305 4 1 "AltEdit enabled by 2D Only"
expect_field "$d" 2307 4 0 "PDOPSwitchEdit disabled by 2D Only"
real_click "$T" 2305 down
real_click "$T" 2305 down
expect_field "$(p dump "$T")" 2305 7 "-2" "AltEdit after two clicks on its down arrow"
p key "$T" 2332 0x26  # Up
real_click "$T" 2332
xdotool type --delay 50 57
sleep 0.3
expect_field "$(p dump "$T")" 2332 7 "11" "ElevEdit after Up, typing refused"
p focuskey "$T" 0x0D  # Enter: OK
p gone "$T" 5 || fail "Enter did not confirm $T"
expect_reg GPSMode=3 GPS2DElev=-2 GPSElevMask=11 GPSHtReference=1

# --- OK while a replay runs: the six keys, and the replay reopens (a paused replay runs again).
p click "$G" 2122
wait_opened 1 "$appdir\\help\\receiver-options.html"
p select "$G" 2104 1
p click "$G" 2120
p gone "$G" 5 || fail "$G OK did not close"
expect_reg GpsType=2 ComPort=2 BaudRate=9600 Parity=1 DataBits=8 StopBits=0
# The log starts at 08:30:00: let it run past its first readings, pause it, and see OK restart
# it from its beginning, running.
wait_label 1112 ':30:(0[6-9]|[1-5][0-9]) ' 20
p command 1013  # the pause button
sleep 2.5
paused=$(p label 1112)
sleep 2.5
[ "$(p label 1112)" = "$paused" ] || fail "the replay did not pause"
open_dialog 40012 "$G" >/dev/null
d=$(p dump "$G")
expect_field "$d" 2101 7 "Trimble TSIP" "type shown again"
expect_field "$d" 2104 7 "COM2" "port shown again"
p click "$G" 2120
p gone "$G" 5 || fail "$G OK did not close"
wait_label 1112 ':30:0[0-4] ' 6
wait_label 1112 ':30:0[2-9] ' 6
[ "$(p label 1011)" = "track" ] || fail "the replay's source changed: '$(p label 1011)'"

# --- Set Preferences: defaults shown; units and local time with -5 reach the next update step.
S="Set Preferences"
geo=$(open_dialog 40016 "$S")
check_window "$geo" 414 319 "The Pelmora" "$S"
d=$(p dump "$S")
shot preferences
for pair in "2400|Update Interval" "2401|Seconds:" "2402|2" "2403|Beep" \
  "2410|Latitude/Longitude Display Format" "2411|Degrees, Minutes, Direction" \
  "2412|Decimal Places:" "2413|2" "2420|Time" "2421|Local Time" "2422|UTC Time" \
  "2423|UTC Offset (hours):" "2424|0" "2425|(Local Time + UTC Offset = UTC Time)" \
  "2430|Heading" "2431|Magnetic" "2432|True" "2440|Speed Units" "2441|miles/hour" "2442|knots" \
  "2443|meters/second" "2444|kilometers/hour" "2450|Elevation Units" "2451|feet" "2452|meters" \
  "2460|Minimize at Startup" "2462|DDE ignore Invalid" "2470|OK" "2471|Cancel" "2472|Help"; do
  expect_field "$d" "${pair%%|*}" 7 "${pair#*|}" "$S texts"
done
expect_field "$d" 2424 4 0 "offset list disabled with UTC"
expect_field "$d" 2461 3 0 "Keep on Top hidden"
for id in 2422 2432 2441 2451; do expect_field "$d" $id 5 1 "$S defaults"; done
p click "$S" 2442
p click "$S" 2452
p click "$S" 2421
sleep 0.3
expect_field "$(p dump "$S")" 2424 4 1 "offset list enabled with local time"
p select "$S" 2424 7
p click "$S" 2470
p gone "$S" 5 || fail "$S OK did not close"
expect_reg SpeedUnits=1 ElevUnits=1 TimeUTC=0 UTCOffset=-5
wait_label 1108 ' knots$'
wait_label 1106 ' m$'
wait_label 1112 ' local$'
# UTC keeps the offset in the store.
open_dialog 40016 "$S" >/dev/null
p click "$S" 2422
p click "$S" 2470
p gone "$S" 5 || fail "$S OK did not close"
expect_reg TimeUTC=1 UTCOffset=-5
wait_label 1112 ' UTC$'

# --- Help: F1 in a dialog, Help > Contents, the web entries, an override, About.
open_dialog 40016 "$S" >/dev/null
sleep 0.5
xdotool key F1
wait_opened 2 "$appdir\\help\\preferences.html"
p focuskey "$S" 0x1B  # Escape
p gone "$S" 5 || fail "Escape did not close $S"
p command 40021
wait_opened 3 "$appdir\\help\\index.html"
n=4
for id in 40022 40023 40024 40025; do
  p command $id
  n_expected=(https://www.halvorn.example/ https://www.halvorn.example/pelmora/
    https://www.halvorn.example/support/ https://forum.halvorn.example/pelmora/)
  wait_opened $n "${n_expected[$((n - 4))]}"
  n=$((n + 1))
done
wine reg add "$key" /v online_support /t REG_SZ /d 'https://help.example/gps' /f \
  </dev/null >/dev/null 2>&1
p command 40024
wait_opened 8 "https://help.example/gps"
p command 40026
p wait "About The Pelmora" 10 >/dev/null || fail "About did not open"
grep -q '|Version 3.2 MapInfo Edition$' <<<"$(p dump "About The Pelmora")" || fail "About version text"
p close "About The Pelmora"
p gone "About The Pelmora" 5 || fail "About did not close"

stop_pelmora

# --- The next start shows what was stored.
start_pelmora
open_dialog 40012 "$G" >/dev/null
d=$(p dump "$G")
expect_field "$d" 2101 7 "Trimble TSIP" "stored type after restart"
expect_field "$d" 2104 7 "COM2" "stored port after restart"
expect_field "$d" 2106 7 "9600" "stored baud after restart"
expect_field "$d" 2111 5 1 "stored parity after restart"
p select "$G" 2101 0
p click "$G" 2102
p wait "$N" 10 >/dev/null || fail "$N did not open after restart"
d=$(p dump "$N")
expect_field "$d" 2205 7 'C:\gps\garmin.nsf' "stored setup file after restart"
expect_field "$d" 2202 5 1 "stored height reference after restart"
p click "$N" 2211
p gone "$N" 5
p click "$G" 2121
p gone "$G" 5
open_dialog 40016 "$S" >/dev/null
d=$(p dump "$S")
for id in 2442 2452 2422; do expect_field "$d" $id 5 1 "stored preferences after restart"; done
p click "$S" 2471
p gone "$S" 5
stop_pelmora

verdict "dialogs system test"
