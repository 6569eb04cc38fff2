#!/usr/bin/env bash
# Start-up time of CANConfig.exe under Wine: from launching the exe to the first paint of
# its main window and to its first paint with the skin applied, medians over several runs,
# and the size of the exe.
#
# The program writes "first-paint <microseconds since 1970>" to the file named by the
# environment variable QUORIN_STARTUP_LOG when its main window is first painted (and does
# nothing of the kind without it); this script starts the clock just before launching.
#   tools/bench_startup.sh [runs]        (default 7; builds nothing: run after a build)
set -u
. "$(dirname "$0")/common.sh"

runs=${1:-7}
EXE=${QUORIN_EXE_PATH:-$QUORIN_BUILD/windows/CANConfig.exe}
[ -f "$EXE" ] || { echo "no $EXE: build the windows preset first" >&2; exit 1; }

wine_prefix "${WINEPREFIX:-$QUORIN_BUILD/wineprefix}"
own_display=0
if [ -z "${DISPLAY:-}" ]; then start_xvfb; own_display=1; fi
start_wineserver
trap '[ $own_display = 1 ] && { stop_wineserver; stop_xvfb; }' EXIT

logfile=$(mktemp /tmp/quorin-startup.XXXXXX)
times=()
skinned=()
for i in $(seq 1 "$runs"); do
  : >"$logfile"
  t0=$(date +%s%6N)
  QUORIN_STARTUP_LOG=$(winepath -w "$logfile" 2>/dev/null) wine "$EXE" </dev/null >/dev/null 2>&1 &
  pid=$!
  t1=
  for _ in $(seq 1 3000); do  # up to 30 s
    t1=$(tr -d '\r' <"$logfile" | awk '/^first-paint /{print $2; exit}')
    [ -n "$t1" ] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.01
  done
  t2=
  if [ -n "$t1" ]; then
    for _ in $(seq 1 1000); do  # the skin follows within 10 s
      t2=$(tr -d '\r' <"$logfile" | awk '/^first-skinned-paint /{print $2; exit}')
      [ -n "$t2" ] && break
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.01
    done
  fi
  kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null
  if [ -z "$t1" ]; then echo "run $i: no first paint logged" >&2; continue; fi
  ms=$(( (t1 - t0) / 1000 ))
  times+=("$ms")
  if [ -n "$t2" ]; then
    sms=$(( (t2 - t0) / 1000 ))
    skinned+=("$sms")
    printf 'run %d: %d ms, skinned %d ms\n' "$i" "$ms" "$sms"
  else
    printf 'run %d: %d ms, no skinned paint\n' "$i" "$ms"
  fi
done
rm -f "$logfile"
((${#times[@]})) || { echo "no run finished" >&2; exit 1; }
median=$(printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR]=$1} END {print (NR%2) ? a[(NR+1)/2] : int((a[NR/2]+a[NR/2+1])/2)}')
size=$(stat -c %s "$EXE")
printf 'start-up to first paint: median %d ms over %d runs\n' "$median" "${#times[@]}"
if ((${#skinned[@]})); then
  smedian=$(printf '%s\n' "${skinned[@]}" | sort -n | awk '{a[NR]=$1} END {print (NR%2) ? a[(NR+1)/2] : int((a[NR/2]+a[NR/2+1])/2)}')
  printf 'start-up to first skinned paint: median %d ms over %d runs\n' "$smedian" "${#skinned[@]}"
fi
printf 'CANConfig.exe: %d bytes (%.1f MiB)\n' "$size" "$(echo "$size / 1048576" | bc -l)"
# The build keeps debug information in the exe; what ships is the stripped file.
if command -v x86_64-w64-mingw32-strip >/dev/null; then
  stripped=$(mktemp /tmp/quorin-stripped.XXXXXX)
  x86_64-w64-mingw32-strip -o "$stripped" "$EXE" && printf 'CANConfig.exe stripped: %d bytes (%.1f MiB)\n' \
    "$(stat -c %s "$stripped")" "$(echo "$(stat -c %s "$stripped") / 1048576" | bc -l)"
  rm -f "$stripped"
fi
