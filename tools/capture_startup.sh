#!/usr/bin/env bash
# Frames of the screen from the launch of CANConfig.exe under Wine, as fast as the screen
# can be copied: a private Xvfb keeps its screen in a file (-fbdir), which is copied in a
# tight loop for a few seconds; every copy that differs from the one before is kept as a
# PNG named by its milliseconds since launch. For looking at what a start shows, frame by
# frame (a window drawn natively, half-skinned, or skinned from its first frame).
#   tools/capture_startup.sh OUTDIR [--skin VALUE] [--language CODE] [--seconds N] [-- ARGS...]
# --skin and --language set the program's remembered choices for the run, as
# tools/bench_startup.sh does; ARGS go to the program.
set -u
. "$(dirname "$0")/common.sh"

out=${1:?usage: capture_startup.sh OUTDIR [--skin VALUE] [--language CODE] [--seconds N]}
shift
skin= language= seconds=3
while [ $# -gt 0 ]; do
  case $1 in
    --skin) skin=$2; shift 2 ;;
    --language) language=$2; shift 2 ;;
    --seconds) seconds=$2; shift 2 ;;
    --) shift; break ;;
    *) break ;;
  esac
done
EXE=${QUORIN_EXE_PATH:-$QUORIN_BUILD/windows/CANConfig.exe}
[ -f "$EXE" ] || { echo "no $EXE: build the windows preset first" >&2; exit 1; }
mkdir -p "$out"
fbdir=$(mktemp -d /tmp/quorin-fb.XXXXXX)
raw=$(mktemp -d /tmp/quorin-frames.XXXXXX)

wine_prefix "${WINEPREFIX:-$QUORIN_BUILD/wineprefix}"
n=${QUORIN_DISPLAY_BASE:-90}
while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
Xvfb ":$n" -screen 0 1024x768x24 -fbdir "$fbdir" -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 1 100); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
export DISPLAY=":$n"
start_wineserver
key='HKCU\Software\QUORIN\CANConfig'
setting() { wine reg query "$key" /v "$1" </dev/null 2>/dev/null | tr -d '\r' | awk -v n="$1" '$1 == n {print $3}'; }
put_setting() {
  if [ -n "$2" ]; then wine reg add "$key" /v "$1" /t REG_SZ /d "$2" /f </dev/null >/dev/null 2>&1
  else wine reg delete "$key" /v "$1" /f </dev/null >/dev/null 2>&1; fi
}
old_skin=$(setting Skin) old_language=$(setting Language)
[ -n "$skin" ] && put_setting Skin "$skin"
[ -n "$language" ] && put_setting Language "$language"
cleanup() {
  [ -n "$skin" ] && put_setting Skin "$old_skin"
  [ -n "$language" ] && put_setting Language "$old_language"
  stop_wineserver
  kill "$xvfb" 2>/dev/null
  rm -rf "$fbdir" "$raw"
}
trap cleanup EXIT

t0=$(date +%s%3N)
wine "$EXE" "$@" </dev/null >/dev/null 2>&1 &
pid=$!
end=$((t0 + seconds * 1000))
last=
while :; do
  now=$(date +%s%3N)
  ((now < end)) || break
  cp "$fbdir/Xvfb_screen0" "$raw/frame" 2>/dev/null || continue
  sum=$(md5sum <"$raw/frame")
  if [ "$sum" != "$last" ]; then
    mv "$raw/frame" "$raw/$(printf '%05d' $((now - t0))).xwd"
    last=$sum
  fi
done
kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null
for f in "$raw"/*.xwd; do
  [ -e "$f" ] || continue
  convert "xwd:$f" -crop 1024x768+0+0 +repage "$out/$(basename "${f%.xwd}").png"
done
ls "$out"
