#!/usr/bin/env bash
# Builds the program and runs it under Wine, attached to the virtual converter on COM3.
# With a DISPLAY the window opens there; without one the program runs on a private Xvfb
# display and a screenshot of the main window is saved under build/.
#   --screenshot-exit   exit after the screenshot (also with a DISPLAY)
set -u
. "$(dirname "$0")/common.sh"

shot_exit=0
for a in "$@"; do
  case $a in
    --screenshot-exit) shot_exit=1 ;;
    *) echo "usage: $0 [--screenshot-exit]" >&2; exit 2 ;;
  esac
done

ensure_packages
use_ccache
mkdir -p "$QUORIN_BUILD"
build_all || exit 1
wine_prefix "$QUORIN_BUILD/wineprefix"

own_display=0
if [ -z "${DISPLAY:-}" ]; then start_xvfb; own_display=1; fi

cleanup() {
  bash "$QUORIN_ROOT/tools/vconv-ports.sh" stop
  [ $own_display = 1 ] && { stop_wineserver; stop_xvfb; }
}
trap cleanup EXIT

# The virtual converter plays the device on a pseudo-terminal, published as COM3.
start_wineserver
bash "$QUORIN_ROOT/tools/vconv-ports.sh" start 3
log "log of the converter's frames: $QUORIN_BUILD/vconv/port3.log"
wine "$QUORIN_BUILD/windows/CANConfig.exe" </dev/null >"$QUORIN_BUILD/run.log" 2>&1 &
APP_PID=$!

if [ $own_display = 1 ] || [ $shot_exit = 1 ]; then
  for i in $(seq 1 300); do
    xdotool search --name "CAN" >/dev/null 2>&1 && break
    sleep 0.1
  done
  sleep 2
  shot=$QUORIN_BUILD/screenshot-main.png
  import -window root "$shot" && log "screenshot: $shot"
  echo "$shot"
  if [ $shot_exit = 1 ] || [ $own_display = 1 ]; then
    wineserver -k </dev/null >/dev/null 2>&1
    exit 0
  fi
fi
wait $APP_PID
