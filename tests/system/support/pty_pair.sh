# Sourced by the Wine test scripts: a simulated receiver as a socat pseudo-terminal pair.
#   start_pty_pair DIR   links DIR/gps (the program's side) and DIR/feed (the receiver's side),
#                        sets socat_pid; exits the script when socat fails
#   stop_pty_pair        ends socat, if running (the receiver vanishes under an open port)
socat_pid=""

start_pty_pair() {
  local dir=$1
  socat -d -d "pty,raw,echo=0,link=$dir/gps" "pty,raw,echo=0,link=$dir/feed" 2>"$dir/socat.log" &
  socat_pid=$!
  for _ in $(seq 1 50); do
    [ -e "$dir/gps" ] && [ -e "$dir/feed" ] && return 0
    sleep 0.1
  done
  echo "socat did not create the pty pair" >&2
  cat "$dir/socat.log" >&2
  exit 1
}

stop_pty_pair() {
  if [ -n "$socat_pid" ]; then
    kill "$socat_pid" 2>/dev/null
    wait "$socat_pid" 2>/dev/null
    socat_pid=""
  fi
}
