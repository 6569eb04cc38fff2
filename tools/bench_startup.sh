#!/usr/bin/env bash
# Start-up time of CANConfig.exe under Wine, set against a bare Win32 window: from launching
# each exe to the first paint of its main window, medians over several runs taken in turn
# (bare, program, bare, program, ...) so that the machine's load falls on both alike, their
# ratio, the median time of each start-up step of the program, its first paint with the skin
# applied, and the size of the exe.
#
# Both programs write "first-paint <microseconds since 1970>" to the file named by the
# environment variable QUORIN_STARTUP_LOG when their main window is first painted (and do
# nothing of the kind without it); the program also writes "step <name> <microseconds>" for
# its start-up steps, and "first-skinned-paint <microseconds>" once the skin has taken its
# main window over. This script starts the clock just before launching.
#
# What is timed is the exe as it ships: the build's exe keeps its debug information, so a
# stripped copy is made beside it (where skins\ is found) and launched instead; the output
# names the file measured.
#   tools/bench_startup.sh [--skin VALUE] [--language CODE] [runs]
#     (default 7 runs; builds nothing: run after a build). --skin and --language set the
#     remembered choices for the runs (the program's settings "Skin", e.g. slate.skn, and
#     "Language", zh-CN or en) and put the earlier values back afterwards.
set -u
. "$(dirname "$0")/common.sh"

skin= language=
while [ $# -gt 0 ]; do
  case $1 in
    --skin) skin=$2; shift 2 ;;
    --language) language=$2; shift 2 ;;
    *) break ;;
  esac
done
runs=${1:-7}
BUILT=${QUORIN_EXE_PATH:-$QUORIN_BUILD/windows/CANConfig.exe}
BARE=${QUORIN_BARE_EXE_PATH:-$(dirname "$BUILT")/BareWindow.exe}
[ -f "$BUILT" ] || { echo "no $BUILT: build the windows preset first" >&2; exit 1; }
[ -f "$BARE" ] || { echo "no $BARE: build the windows preset's BareWindow first" >&2; exit 1; }
EXE=$BUILT
if command -v x86_64-w64-mingw32-strip >/dev/null; then
  EXE=$(dirname "$BUILT")/CANConfig-stripped.exe
  x86_64-w64-mingw32-strip -o "$EXE" "$BUILT" || { echo "cannot strip $BUILT" >&2; exit 1; }
else
  echo "x86_64-w64-mingw32-strip missing: timing the unstripped exe" >&2
fi

wine_prefix "${WINEPREFIX:-$QUORIN_BUILD/wineprefix}"
own_display=0
if [ -z "${DISPLAY:-}" ]; then start_xvfb; own_display=1; fi
start_wineserver
logfile=$(mktemp /tmp/quorin-startup.XXXXXX)
steps=$(mktemp /tmp/quorin-steps.XXXXXX)
bare_steps=$(mktemp /tmp/quorin-bare-steps.XXXXXX)
key='HKCU\Software\QUORIN\CANConfig'
# setting NAME: the value stored now, or nothing.
setting() { wine reg query "$key" /v "$1" </dev/null 2>/dev/null | tr -d '\r' | awk -v n="$1" '$1 == n {print $3}'; }
# put_setting NAME VALUE: VALUE empty deletes it.
put_setting() {
  if [ -n "$2" ]; then wine reg add "$key" /v "$1" /t REG_SZ /d "$2" /f </dev/null >/dev/null 2>&1
  else wine reg delete "$key" /v "$1" /f </dev/null >/dev/null 2>&1; fi
}
old_skin=$(setting Skin) old_language=$(setting Language)
restore() {
  [ -n "$skin" ] && put_setting Skin "$old_skin"
  [ -n "$language" ] && put_setting Language "$old_language"
}
trap 'restore; [ "$EXE" != "$BUILT" ] && rm -f "$EXE"; rm -f "$logfile" "$steps" "$bare_steps"; [ $own_display = 1 ] && { stop_wineserver; stop_xvfb; }' EXIT
[ -n "$skin" ] && put_setting Skin "$skin"
[ -n "$language" ] && put_setting Language "$language"
printf 'measured: %s (%d bytes), skin %s, language %s\n' "$EXE" "$(stat -c %s "$EXE")" \
  "$(setting Skin)" "$(setting Language)"

# logged NAME: the time the program logged for NAME, or nothing. Read with the shell's own
# builtins: the waiting must not take the processor from the program it times.
logged() {
  local k v _
  while IFS=' ' read -r k v _; do
    [ "$k" = "$1" ] && { printf '%s' "${v%$'\r'}"; return; }
  done <"$logfile"
}

# run_once EXE [skinned]: launches EXE and waits for its first paint, and with "skinned" for
# its first skinned paint too; sets ms and sms (empty when none came) and leaves the
# program's log in $logfile. The times are the program's own (it logs when it painted), so
# the log is only looked at now and then.
run_once() {
  : >"$logfile"
  local pid t1= t2= i
  local path
  path=$(winepath -w "$logfile" 2>/dev/null)
  t0=$(date +%s%6N)
  QUORIN_STARTUP_LOG=$path wine "$1" </dev/null >/dev/null 2>&1 &
  pid=$!
  for ((i = 0; i < 300; ++i)); do  # up to 30 s
    sleep 0.1
    t1=$(logged first-paint)
    [ -n "$t1" ] && break
    kill -0 "$pid" 2>/dev/null || break
  done
  if [ -n "$t1" ] && [ "${2:-}" = skinned ]; then
    for ((i = 0; i < 100; ++i)); do  # the skin follows within 10 s
      t2=$(logged first-skinned-paint)
      [ -n "$t2" ] && break
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.1
    done
  fi
  kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null
  ms= sms=
  [ -n "$t1" ] && ms=$(( (t1 - t0) / 1000 ))
  [ -n "$t2" ] && sms=$(( (t2 - t0) / 1000 ))
}

median() { sort -n | awk '{a[NR]=$1} END {if (NR) print (NR%2) ? a[(NR+1)/2] : int((a[NR/2]+a[NR/2+1])/2)}'; }

bare=() times=() skinned=()
for i in $(seq 1 "$runs"); do
  run_once "$BARE"
  if [ -n "$ms" ]; then
    bare+=("$ms")
    tr -d '\r' <"$logfile" | awk -v t0="$t0" '$1 == "step" {printf "%d %s %d\n", ++n, $2, ($3 - t0) / 1000}' >>"$bare_steps"
  fi
  bare_ms=${ms:-none}
  run_once "$EXE" skinned
  [ -n "$sms" ] && skinned+=("$sms")
  if [ -n "$ms" ]; then
    times+=("$ms")
    # Each step as milliseconds since launch, in the order the program logged them.
    tr -d '\r' <"$logfile" | awk -v t0="$t0" '$1 == "step" {printf "%d %s %d\n", ++n, $2, ($3 - t0) / 1000}' >>"$steps"
  fi
  printf 'run %d: bare window %s ms, CANConfig %s ms, skinned %s ms\n' "$i" "$bare_ms" "${ms:-none}" "${sms:-none}"
done
((${#times[@]} && ${#bare[@]})) || { echo "no run finished" >&2; exit 1; }
median_bare=$(printf '%s\n' "${bare[@]}" | median)
median=$(printf '%s\n' "${times[@]}" | median)
# print_steps TITLE FILE: the median of each step, in the order the program logged them.
print_steps() {
  [ -s "$2" ] || return 0
  echo "start-up steps of $1 (median ms since launch):"
  for name in $(sort -n -k1,1 -s "$2" | awk '!seen[$2]++ {print $2}'); do
    printf '  %-12s %6d\n' "$name" "$(awk -v n="$name" '$2 == n {print $3}' "$2" | median)"
  done
}
print_steps "the bare window" "$bare_steps"
print_steps CANConfig "$steps"
printf 'bare window to first paint: median %d ms over %d runs\n' "$median_bare" "${#bare[@]}"
printf 'start-up to first paint: median %d ms over %d runs\n' "$median" "${#times[@]}"
printf 'ratio to the bare window: %.2f\n' "$(echo "$median / $median_bare" | bc -l)"
if ((${#skinned[@]})); then
  smedian=$(printf '%s\n' "${skinned[@]}" | median)
  printf 'start-up to first skinned paint: median %d ms over %d runs (%.2f of the first paint)\n' \
    "$smedian" "${#skinned[@]}" "$(echo "$smedian / $median" | bc -l)"
fi
size=$(stat -c %s "$BUILT")
printf 'CANConfig.exe as built: %d bytes (%.1f MiB); timed: %s, %d bytes (%.1f MiB)\n' "$size" \
  "$(echo "$size / 1048576" | bc -l)" "$(basename "$EXE")" "$(stat -c %s "$EXE")" \
  "$(echo "$(stat -c %s "$EXE") / 1048576" | bc -l)"
