#!/usr/bin/env bash
# Runs every test: native unit tests (plain and under sanitizers), brief fuzz runs,
# and the Windows tests under Wine on a private Xvfb display. Ends with "N passed, N failed".
set -u
. "$(dirname "$0")/common.sh"

FUZZ_SECONDS=${QUORIN_FUZZ_SECONDS:-10}
ensure_packages
mkdir -p "$QUORIN_BUILD"
failures=0
note_failure() { log "FAILED: $*"; failures=$((failures + 1)); }

RESULTS=$QUORIN_BUILD/results
rm -rf "$RESULTS"; mkdir -p "$RESULTS"

run_ctest() { # run_ctest BUILD_DIR LABEL
  local dir=$1 tag=$2
  rm -rf "$dir/test-results"; mkdir -p "$dir/test-results"
  (cd "$dir" && ctest --output-on-failure -j1 >"$RESULTS/$tag.ctest.log" 2>&1) || true
  tail -n 3 "$RESULTS/$tag.ctest.log" >&2
  python3 "$QUORIN_ROOT/tools/summarize_results.py" collect "$dir" "$tag" "$RESULTS"
}

log "native build"
if build_preset native; then
  run_ctest "$QUORIN_BUILD/native" native
  # The README's contact sheet of the default skin: built here so it cannot break unseen.
  rm -f "$QUORIN_BUILD/native/skin/default/contact-sheet.png"
  if cmake --build "$QUORIN_BUILD/native" --target default_skin_sheet >"$RESULTS/skin-sheet.log" 2>&1 \
    && [ -s "$QUORIN_BUILD/native/skin/default/contact-sheet.png" ]; then
    echo "tools.default_skin_sheet pass" >>"$RESULTS/plain.results"
  else
    echo "tools.default_skin_sheet fail" >>"$RESULTS/plain.results"; tail -n 20 "$RESULTS/skin-sheet.log" >&2
  fi
else note_failure "native build"; fi

log "native build with sanitizers"
if build_preset native-asan; then run_ctest "$QUORIN_BUILD/native-asan" asan; else note_failure "sanitizer build"; fi

log "fuzz targets, ${FUZZ_SECONDS}s each (tools/fuzz.sh SECONDS for longer campaigns)"
if build_preset fuzz; then
  for f in "$QUORIN_BUILD"/fuzz/fuzz/*_fuzz; do
    [ -x "$f" ] || continue
    n=$(basename "$f")
    if line=$(fuzz_target "$f" "$FUZZ_SECONDS" "$RESULTS/fuzz.$n.log"); then
      echo "fuzz.$n pass" >>"$RESULTS/plain.results"
    else
      echo "fuzz.$n fail" >>"$RESULTS/plain.results"; tail -n 30 "$RESULTS/fuzz.$n.log" >&2
    fi
    read -r _ runs _ rate <<<"$line"
    log "$n: $runs runs, $rate exec/s"
  done
else note_failure "fuzz build"; fi

log "windows build"
if build_preset windows -DQUORIN_HOST_TOOLS="$QUORIN_BUILD/native"; then
  wine_prefix "$QUORIN_BUILD/wineprefix"
  start_xvfb
  start_wineserver
  run_ctest "$QUORIN_BUILD/windows" windows
  stop_wineserver
  stop_xvfb
else note_failure "windows build"; fi

python3 "$QUORIN_ROOT/tools/summarize_results.py" total "$RESULTS" "$failures"
