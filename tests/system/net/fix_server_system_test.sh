#!/usr/bin/env bash
# The fix server with real clients over the loopback: fixhost (the server on a replayed gpssim
# log, as pelmora.exe drives it) under Wine, and on the Linux side gpspipe -w and -r, the Python
# gps module, raw NMEA readers, 40 clients at once with a stalled reader and junk senders, the
# client limit, a TSIP replay, and a port already taken. With pelmora.exe: sharing stored on
# serves from the start, the menu entry turns it off and on and stores it, a port already taken
# is one message naming it, and closing the program closes the clients.
# usage: fix_server_system_test.sh FIXHOST_EXE GPSSIM_EXE NETPROBE_EXE [PELMORA_EXE]
# Needs WINEPREFIX and DISPLAY, as set by scripts/wine-env.sh.
set -u -o pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../support/verdict.sh"
source "$(dirname "${BASH_SOURCE[0]}")/../support/gispeer.sh"
fixhost=$1
gpssim=$2
netprobe=$3
pelmora=${4:-}
here=$(cd "$(dirname "$0")" && pwd)
: "${WINEPREFIX:?WINEPREFIX is not set}"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
py=/usr/bin/python3  # Debian's, which has the gps module
clients="$py $here/fix_clients.py"

work=$(mktemp -d "${TMPDIR:-/tmp}/pelmora-net.XXXXXX")
pids=()
key='HKCU\Software\Halvorn\Pelmora'
options=(FixServer FixServerNmeaPort FixServerGpsdPort)
cleanup() {
  if [ -n "$pelmora" ]; then
    for o in "${options[@]}"; do wine reg delete "$key" /v "$o" /f </dev/null >/dev/null 2>&1; done
  fi
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
  for p in "${pids[@]}"; do wait "$p" 2>/dev/null; done
  rm -rf "$work"
}
trap cleanup EXIT

# Ports of their own, away from the defaults and from other test runs on this machine.
base=$((20000 + RANDOM % 20000))
nmea_port=$base
gpsd_port=$((base + 1))

# Replays: NMEA north-east of Zurich, TSIP south-west (Rio de Janeiro), moving north-east.
wine "$gpssim" --protocol nmea --out "$(winepath -w "$work/nmea.gps")" --seconds 300 --fast \
  --lat 47.5 --lon 8.25 --height 400 --speed 12 --heading 45 --start 2026-03-01T10:00:00 \
  </dev/null >/dev/null 2>&1
wine "$gpssim" --protocol tsip --out "$(winepath -w "$work/tsip.gps")" --seconds 300 --fast \
  --lat -22.9 --lon -43.2 --height 20 --speed 12 --heading 45 --start 2026-03-01T10:00:00 \
  </dev/null >/dev/null 2>&1
nmea_box="47.5 47.6 8.25 8.40"
tsip_box="-22.9 -22.8 -43.2 -43.05"

# Starts fixhost in the background; its output goes to $work/$1.out. Waits until it serves.
start_host() {
  local name=$1
  shift
  wine "$fixhost" "$@" --nmea-port "$nmea_port" --gpsd-port "$gpsd_port" --interval 200 \
    --seconds 60 --stats </dev/null >"$work/$name.out" 2>&1 &
  pids+=($!)
  local i
  for i in $(seq 1 100); do
    grep -q serving "$work/$name.out" 2>/dev/null && return 0
    sleep 0.1
  done
  fail "$name: fixhost did not start"
  cat "$work/$name.out"
  return 1
}
stop_host() {
  local p=${pids[-1]}
  kill "$p" 2>/dev/null
  wait "$p" 2>/dev/null
  unset 'pids[-1]'
}

# 1. NMEA replay: gpspipe -w and -r, the gps module, an NMEA reader, abuse, the client limit.
if start_host nmea "$(winepath -w "$work/nmea.gps")" --type 1; then
  sleep 1
  timeout 10 gpspipe -w -n 12 "127.0.0.1:$gpsd_port" >"$work/w.txt" 2>&1 ||
    fail "gpspipe -w ended badly: $(head -c 300 "$work/w.txt")"
  $clients tpv $nmea_box 2026-03-01 <"$work/w.txt" || fail "gpspipe -w output"
  timeout 10 gpspipe -r -n 30 "127.0.0.1:$gpsd_port" >"$work/r.txt" 2>&1 ||
    fail "gpspipe -r ended badly: $(head -c 300 "$work/r.txt")"
  $clients nmea $nmea_box <"$work/r.txt" || fail "gpspipe -r output"
  $clients pygps "$gpsd_port" $nmea_box || fail "Python gps module"
  $clients nmea-port "$nmea_port" $nmea_box || fail "NMEA port"
  $clients abuse "$nmea_port" "$gpsd_port" || fail "abuse"
  $clients limit "$nmea_port" || fail "client limit"
  stop_host
fi

# 2. TSIP replay: NMEA written from the record, gpsd reports with the same position.
if start_host tsip "$(winepath -w "$work/tsip.gps")" --type 2; then
  sleep 1
  $clients nmea-port "$nmea_port" $tsip_box || fail "TSIP as NMEA"
  timeout 10 gpspipe -w -n 12 "127.0.0.1:$gpsd_port" >"$work/tw.txt" 2>&1 ||
    fail "gpspipe -w on TSIP ended badly"
  # Dated by the receiver (its GPS week), never by the computer.
  $clients tpv $tsip_box 2026-03-01 <"$work/tw.txt" || fail "gpspipe -w on TSIP"
  stop_host
fi

# 3. The gpsd port already taken: one message naming it, the NMEA port still serves.
$py -c "
import socket, time
s = socket.socket(); s.bind(('127.0.0.1', $gpsd_port)); s.listen(1); time.sleep(30)" &
holder=$!
pids+=($holder)
sleep 0.5
if start_host taken "$(winepath -w "$work/nmea.gps")" --type 1; then
  sleep 1
  messages=$(grep -c '^problem:' "$work/taken.out")
  [ "$messages" = 1 ] || fail "expected one message, got $messages: $(cat "$work/taken.out")"
  grep -q "^problem: .*port $gpsd_port .*in use" "$work/taken.out" ||
    fail "the message does not name port $gpsd_port: $(cat "$work/taken.out")"
  $clients nmea-port "$nmea_port" $nmea_box || fail "NMEA port beside a taken gpsd port"
  stop_host
fi
kill "$holder" 2>/dev/null

# 4. pelmora.exe: stored on and replaying a log, off and on from the menu, a port taken, the
#    close. (The check mark
#    itself is covered by the main form's unit test: Wine keeps menus inside their process.)
probe() { wine "$netprobe" "$@" </dev/null 2>/dev/null | tr -d '\r'; }
reg_set() { wine reg add "$key" /v "$1" /t REG_SZ /d "$2" /f </dev/null >/dev/null 2>&1; }
reg_get() {
  wine reg query "$key" /v "$1" </dev/null 2>/dev/null | tr -d '\r' | sed -n "s/^ *$1 *REG_SZ *//p"
}
if [ -n "$pelmora" ]; then
  reg_set FixServer 1
  reg_set FixServerNmeaPort "$nmea_port"
  reg_set FixServerGpsdPort "$gpsd_port"
  # The GIS stand-in first: the client link connects instead of showing message 29 at start.
  start_gispeer "$pelmora" "$work/gispeer.out"
  pids+=("$gispeer_pid")
  # The NMEA log named on the command line replays at start, one epoch per update tick.
  log_arg=$(winepath -w "$work/nmea.gps")
  (cd "$(dirname "$pelmora")" && exec wine "$pelmora" "$log_arg" </dev/null >/dev/null 2>&1) &
  app=$!
  pids+=($app)
  if probe wait; then
    $clients version "$gpsd_port" || fail "pelmora.exe: no gpsd greeting with FixServer stored as 1"
    timeout 20 gpspipe -w -n 7 "127.0.0.1:$gpsd_port" >"$work/app-w.txt" 2>&1 ||
      fail "pelmora.exe: gpspipe -w ended badly: $(head -c 300 "$work/app-w.txt")"
    $clients tpv $nmea_box 2026-03-01 <"$work/app-w.txt" || fail "pelmora.exe: replay as gpsd TPV"
    $clients nmea-port "$nmea_port" $nmea_box 5 || fail "pelmora.exe: replay on the NMEA port"
    probe toggle
    sleep 1
    $clients refused "$gpsd_port" || fail "pelmora.exe: still serving after the menu turned it off"
    [ "$(reg_get FixServer)" = 0 ] || fail "pelmora.exe: FixServer not stored as 0"
    # On again while another program holds the gpsd port.
    $py -c "
import socket, time
s = socket.socket(); s.bind(('127.0.0.1', $gpsd_port)); s.listen(1); time.sleep(20)" &
    holder=$!
    pids+=($holder)
    sleep 0.5
    probe toggle
    message=$(probe message) || fail "pelmora.exe: no message for the port in use"
    echo "message: $message"
    case $message in
      *"port $gpsd_port"*) ;;
      *) fail "pelmora.exe: the message does not name port $gpsd_port" ;;
    esac
    [ "$(reg_get FixServer)" = 1 ] || fail "pelmora.exe: FixServer not stored as 1"
    kill "$holder" 2>/dev/null
    # The NMEA port serves; closing the program closes its client.
    $clients eof "$nmea_port" 20 >"$work/eof.txt" 2>&1 &
    reader=$!
    for i in $(seq 1 50); do grep -q connected "$work/eof.txt" && break; sleep 0.1; done
    grep -q connected "$work/eof.txt" || fail "pelmora.exe: the NMEA port took no client"
    probe close
    wait "$reader" || fail "pelmora.exe: closing did not close the client: $(cat "$work/eof.txt")"
    wait "$app" 2>/dev/null
  else
    fail "pelmora.exe did not show its main window"
  fi
fi

verdict "fix server system test"
