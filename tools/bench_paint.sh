#!/usr/bin/env bash
# Paint times of the skin under Wine, set against the native drawing of the same windows of
# the main window: a push button, a combo box, the current page and the frame, each as the
# median of several batches with the skinned/native ratio; and the frame's composition, its
# region and the menu row, which have only the skinned side. The ratios are what to compare
# between builds: the times themselves follow the machine's load.
#   tools/bench_paint.sh [batches]      (default 9; builds nothing: run after a build)
set -u
. "$(dirname "$0")/common.sh"

batches=${1:-9}
EXE=${QUORIN_PAINT_BENCH_PATH:-$QUORIN_BUILD/windows/bench/SkinPaint_bench.exe}
[ -f "$EXE" ] || { echo "no $EXE: build the windows preset's SkinPaint_bench first" >&2; exit 1; }

wine_prefix "${WINEPREFIX:-$QUORIN_BUILD/wineprefix}"
own_display=0
if [ -z "${DISPLAY:-}" ]; then start_xvfb; own_display=1; fi
start_wineserver
trap '[ $own_display = 1 ] && { stop_wineserver; stop_xvfb; }' EXIT

wine "$EXE" "$batches" </dev/null 2>/dev/null | tr -d '\r'
