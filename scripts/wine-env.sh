# Sourced by ./run and ./test: a display and a Wine prefix inside the build tree.
#   wine_env_start BUILD_DIR [want_own_display]  -> exports DISPLAY, WINEPREFIX; starts Xvfb if needed
#   wine_env_stop                                -> stops what wine_env_start started
#   wine_prefix_copy DIR                         -> copies WINEPREFIX into DIR, exports it as
#                                                   WINEPREFIX with a persistent wineserver and
#                                                   a display of its own (DISPLAY)
#   wine_prefix_copy_stop                        -> stops that wineserver and display
# A copied prefix with its own server and display shares nothing with other Wine sessions, so
# tests that work in one can run beside the rest.
_pelmora_xvfb_pid=""
_pelmora_copy_xvfb_pid=""

wine_env_start() {
  local build="$1" own="${2:-0}"
  if [ "$own" = 1 ] || [ -z "${DISPLAY:-}" ]; then
    local n
    for n in $(seq 91 140); do
      [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
      Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
      _pelmora_xvfb_pid=$!
      export DISPLAY=":$n"
      break
    done
    local i
    for i in $(seq 1 50); do
      [ -e "/tmp/.X11-unix/X${DISPLAY#:}" ] && break
      sleep 0.1
    done
  fi
  export WINEPREFIX="$build/wineprefix"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Preparing the Wine prefix in $WINEPREFIX"
    # A new prefix goes on setting itself up in the background after wineboot returns: wait for
    # the server to go idle, or the first tests race with that set-up.
    wineboot -i </dev/null >/dev/null 2>&1 || true
    wineserver -w
    # No window manager: unmanaged windows avoid a 2 s stall on every hide.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f </dev/null >/dev/null 2>&1
    wineserver -w
  fi
  # Debian's Wine does not load its own fonts (fonts-wine) from its data folder: without them
  # the caption buttons draw as letters and MS Sans Serif falls back to a wider face. Copied into
  # prefixes made before this too; files already there are kept.
  if [ -d /usr/share/wine/fonts ]; then
    cp -n /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  fi
  # One persistent server for the whole run (fails harmlessly when one is already up).
  wineserver -p 2>/dev/null || true
  # Start Wine's own background processes now, detached from our output: started later by a test,
  # they would inherit ctest's pipes and keep it waiting.
  wine cmd /c exit </dev/null >/dev/null 2>&1 || true
}

wine_env_stop() {
  [ -n "${WINEPREFIX:-}" ] && wineserver -k 2>/dev/null || true
  if [ -n "$_pelmora_xvfb_pid" ]; then
    kill "$_pelmora_xvfb_pid" 2>/dev/null || true
    wait "$_pelmora_xvfb_pid" 2>/dev/null || true
  fi
}

wine_prefix_copy() {
  mkdir -p "$1"
  cp -a "$WINEPREFIX/." "$1/"
  export WINEPREFIX=$1
  # The display first: a Wine session takes the one set when its first program starts. Xvfb
  # picks a free display number itself and writes it to the file.
  local fd_file="$1/.display"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fd_file" >/dev/null 2>&1 &
  _pelmora_copy_xvfb_pid=$!
  local i
  for i in $(seq 1 100); do
    [ -s "$fd_file" ] && break
    sleep 0.05
  done
  export DISPLAY=":$(head -n 1 "$fd_file")"
  # One server for the whole script keeps the registry in memory between its programs.
  wineserver -p </dev/null >/dev/null 2>&1
}

wine_prefix_copy_stop() {
  wineserver -k >/dev/null 2>&1
  if [ -n "$_pelmora_copy_xvfb_pid" ]; then
    kill "$_pelmora_copy_xvfb_pid" 2>/dev/null
    wait "$_pelmora_copy_xvfb_pid" 2>/dev/null
  fi
  return 0
}

# For scripts that run the program in a session of their own (benchmarks):
#   wine_private_start BUILD_DIR NAME -> a display and a copy of BUILD_DIR's prefix of their own in
#                                        a new temporary folder ($WINE_PRIVATE_DIR, the prefix in
#                                        its prefix/), removed at exit by wine_private_stop (a
#                                        script with more to end calls that from its own trap)
#   gis_peer_start BIN_DIR DIR         -> the GIS stand-in logging to DIR/gis.log, once it listens
#                                        (the program opens its client link at start; without the
#                                        peer a message box would stand over its window)
#   pelmora_bench_start BUILD_DIR NAME EXE... -> after checking that BUILD_DIR/bin ($bin) holds
#                                        pelmora, ddecmd, gispeer and each EXE: a private session
#                                        ($dir), the GIS stand-in, and pelmora.exe ($pelmora its
#                                        pid) started and answering DDE; ddecmd ARGS runs ddecmd.exe
wine_private_start() {
  wine_env_start "$1" 1
  _pelmora_private_template=$WINEPREFIX
  WINE_PRIVATE_DIR=$(mktemp -d "${TMPDIR:-/tmp}/pelmora-$2.XXXXXX")
  trap wine_private_stop EXIT
  wine_prefix_copy "$WINE_PRIVATE_DIR/prefix"
}

wine_private_stop() {
  WINEPREFIX=$WINE_PRIVATE_DIR/prefix wine_prefix_copy_stop
  WINEPREFIX=$_pelmora_private_template wine_env_stop
  rm -rf "$WINE_PRIVATE_DIR"
}

gis_peer_start() {
  wine "$1/gispeer.exe" --log "$(winepath -w "$2/gis.log")" </dev/null >"$2/gis.out" 2>&1 &
  local i
  for i in $(seq 1 100); do
    grep -q ready "$2/gis.out" 2>/dev/null && break
    sleep 0.1
  done
}

pelmora_bench_start() {
  local build=$1 name=$2 exe
  shift 2
  bin=$build/bin
  for exe in pelmora ddecmd gispeer "$@"; do
    [ -f "$bin/$exe.exe" ] || { echo "build $exe for win64 first" >&2; exit 1; }
  done
  wine_private_start "$build" "$name"
  dir=$WINE_PRIVATE_DIR
  gis_peer_start "$bin" "$dir"
  wine "$bin/pelmora.exe" </dev/null >/dev/null 2>&1 &
  pelmora=$!
  for _ in $(seq 1 100); do ddecmd pelmora HVN >/dev/null && break; sleep 0.2; done
}

ddecmd() { wine "$bin/ddecmd.exe" "$@" </dev/null 2>&1 | tr -d '\r'; }
