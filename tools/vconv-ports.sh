#!/usr/bin/env bash
# Virtual converters for the Windows tests, published as COM ports of the Wine prefix.
#   vconv-ports.sh start [PORT...]   default ports: 0 3 7 12 23
#   vconv-ports.sh stop
# Each converter N gets, under $QUORIN_VCONV_DIR (default $QUORIN_BUILD/vconv): portN (its
# published link), portN.log, portN.control (see vconv's usage) and portN.pid. (Not "comN":
# Windows reads any file named COM1 to COM9, whatever its extension, as that serial port.)
# The prefix maps COMN to the link, so a converter that withdraws its link makes the port
# vanish. Every other port number from 1 to 23 is mapped to nothing, so the program's port
# scan sees exactly these converters.

# When tools/test.sh runs the Windows tests in lanes (QUORIN_LANES_ROOT), every lane gets
# its own set, in its own prefix and folder.
set -u
. "$(dirname "$0")/common.sh"

if [ -n "${QUORIN_LANES_ROOT:-}" ] && [ -z "${QUORIN_IN_LANE:-}" ]; then
  rc=0
  for env in "$QUORIN_LANES_ROOT"/*/env; do
    [ -f "$env" ] || continue
    (. "$env" && QUORIN_IN_LANE=1 bash "$0" "$@") || rc=1
  done
  exit $rc
fi

VDIR=${QUORIN_VCONV_DIR:-$QUORIN_BUILD/vconv}
VCONV=$QUORIN_BUILD/native/tools/vconv
wine_prefix "${WINEPREFIX:-$QUORIN_BUILD/wineprefix}" 2>/dev/null
DOS=$WINEPREFIX/dosdevices

stop() {
  local f
  for f in "$VDIR"/port*.pid; do
    [ -f "$f" ] || continue
    kill "$(cat "$f")" 2>/dev/null
    rm -f "$f"
  done
  for f in "$DOS"/com*; do
    [ -L "$f" ] && case $(readlink "$f") in "$VDIR"/*) rm -f "$f" ;; esac
  done
}

start() {
  local ports=("$@")
  ((${#ports[@]})) || ports=(0 3 7 12 23)
  # Without the native build the tests that need a converter skip themselves.
  [ -x "$VCONV" ] || { log "no virtual converter at $VCONV (build the native preset): no COM ports"; exit 0; }
  stop
  mkdir -p "$VDIR"
  local n reg=$VDIR/ports.reg
  printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Wine\\Ports]\r\n' >"$reg"
  for n in $(seq 1 23); do
    if [[ " ${ports[*]} " == *" $n "* ]]; then
      printf '"COM%d"="%s"\r\n' "$n" "$VDIR/port$n" >>"$reg"
    else
      printf '"COM%d"=""\r\n' "$n" >>"$reg"
    fi
  done
  for n in "${ports[@]}"; do
    rm -f "$VDIR/port$n" "$VDIR/port$n.control" "$VDIR/port$n.control.state" "$VDIR/port$n.log"
    # Lines as the kernel makes them (canonical, echo, XON/XOFF), as a serial device comes:
    # the program must set up everything the protocol needs itself.
    setsid "$VCONV" --as-found --link "$VDIR/port$n" --log "$VDIR/port$n.log" --control "$VDIR/port$n.control" \
      </dev/null >/dev/null 2>&1 &
    echo $! >"$VDIR/port$n.pid"
  done
  # The registry keeps the mapping for every later Wine session (the prefix's device
  # manager rebuilds dosdevices from it when a session starts) ...
  wine regedit /S "Z:${reg//\//\\}" </dev/null >/dev/null 2>&1
  # ... and the links take effect in this one at once. (COM0 has no registry entry; its
  # link alone serves it.)
  for f in "$DOS"/com*; do [ -L "$f" ] && rm -f "$f"; done
  for n in "${ports[@]}"; do
    for i in $(seq 1 50); do [ -L "$VDIR/port$n" ] && break; sleep 0.1; done
    ln -sfn "$VDIR/port$n" "$DOS/com$n"
  done
  log "virtual converters on ports ${ports[*]} ($VDIR)"
}

case ${1:-} in
  start) shift; start "$@" ;;
  stop) stop ;;
  *) echo "usage: $0 start [PORT...] | stop" >&2; exit 2 ;;
esac
