#!/usr/bin/env bash
# Runs every test: native unit tests (plain and under sanitizers), brief fuzz runs, the
# Windows tests under Wine, and checks of the release packages. Ends with "N passed, N failed".
#
# Compiles go through ccache (tools/common.sh: use_ccache), so a fresh clone on a machine
# that built before compiles little. Once the Windows build is done, its tests run in the
# background in QUORIN_TEST_LANES lanes (default 3), each with its own Xvfb display, Wine
# prefix and virtual converters, while the sanitizer build, its tests and the fuzz runs go
# on in the foreground. Each stage's time is logged; build/results/timings lists them.
set -u
. "$(dirname "$0")/common.sh"

FUZZ_SECONDS=${QUORIN_FUZZ_SECONDS:-10}
LANES=${QUORIN_TEST_LANES:-3}
RESULTS=$QUORIN_BUILD/results
mkdir -p "$QUORIN_BUILD"
rm -rf "$RESULTS"; mkdir -p "$RESULTS"
failures=0
note_failure() { log "FAILED: $*"; echo "$*" >>"$RESULTS/stage-failures"; }

# timed LABEL COMMAND...: runs the command and notes its wall time under LABEL.
timed() {
  local label=$1 start=$SECONDS rc; shift
  "$@"; rc=$?
  printf '%-28s %5d s\n' "$label" $((SECONDS - start)) >>"$RESULTS/timings"
  log "$label: $((SECONDS - start)) s"
  return $rc
}

run_ctest() { # run_ctest BUILD_DIR LABEL [ctest args...]
  local dir=$1 tag=$2; shift 2
  rm -rf "$dir/test-results"; mkdir -p "$dir/test-results"
  (cd "$dir" && ctest --output-on-failure "$@" >"$RESULTS/$tag.ctest.log" 2>&1) || true
  tail -n 3 "$RESULTS/$tag.ctest.log" >&2
  python3 "$QUORIN_ROOT/tools/summarize_results.py" collect "$dir" "$tag" "$RESULTS"
}

skin_sheet() {
  # The README's contact sheet of the default skin: built here so it cannot break unseen.
  rm -f "$QUORIN_BUILD/native/skin/default/contact-sheet.png"
  if cmake --build "$QUORIN_BUILD/native" --target default_skin_sheet >"$RESULTS/skin-sheet.log" 2>&1 \
    && [ -s "$QUORIN_BUILD/native/skin/default/contact-sheet.png" ]; then
    echo "tools.default_skin_sheet pass" >>"$RESULTS/plain.results"
  else
    echo "tools.default_skin_sheet fail" >>"$RESULTS/plain.results"; tail -n 20 "$RESULTS/skin-sheet.log" >&2
  fi
}

fuzz_runs() {
  local f n line
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
}

# The Windows tests in their lanes (left standing for the package checks).
windows_tests() {
  export QUORIN_LANES_ROOT=$QUORIN_BUILD/lanes
  timed "windows tests ($LANES lanes)" run_ctest "$QUORIN_BUILD/windows" windows \
    -j"$LANES" --resource-spec-file "$QUORIN_BUILD/lanes/lanes.json"
}

# The release packages, made from the builds as they are, checked on the first lane's Wine;
# beside the checks, a second build in a copy of the tree at another path must give the
# same packages, byte for byte. The installer's checks then need a second, later version
# (PATCH + 1), packaged from programs built to carry it (tools/package.sh VERSION) once the
# comparison is done, and run in a Wine prefix of their own.
packages() {
  if timed "packages" "$QUORIN_ROOT/tools/package.sh" --built >"$RESULTS/package.log" 2>&1; then
    timed "reproducible packages" "$QUORIN_ROOT/tools/check_reproducible.sh" \
      >"$RESULTS/reproducible.out" 2>"$RESULTS/reproducible.err" &
    local second=$!
    (. "$QUORIN_BUILD/lanes/0/env" && timed "package checks" "$QUORIN_ROOT/tools/check_packages.sh") \
      >>"$RESULTS/plain.results" 2>>"$RESULTS/package.log"
    wait "$second"
    cat "$RESULTS/reproducible.out" >>"$RESULTS/plain.results"
    cat "$RESULTS/reproducible.err" >>"$RESULTS/package.log"
    local version next dist=$QUORIN_BUILD/dist
    version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$QUORIN_BUILD/native/CMakeCache.txt")
    next=${version%.*}.$((${version##*.} + 1))
    if timed "installers" "$QUORIN_ROOT/tools/package.sh" "$next" >>"$RESULTS/package.log" 2>&1; then
      (. "$QUORIN_BUILD/lanes/0/env" && timed "installer checks" "$QUORIN_ROOT/tools/check_msi.sh" \
        "$dist/quorin-$version-x64.msi" "$dist/quorin-$next-x64.msi") >>"$RESULTS/plain.results" 2>>"$RESULTS/package.log"
    else
      echo "package.msi_build fail" >>"$RESULTS/plain.results"
    fi
    grep -E '^(package|fleet)\.' "$RESULTS/package.log" >&2 || true
  else
    note_failure "packages"; tail -n 30 "$RESULTS/package.log" >&2
  fi
}

# Whatever ends this script, no lane's display, Wine or converters outlive it.
trap 'stop_lanes "$QUORIN_BUILD/lanes" >/dev/null 2>&1' EXIT

timed "packages installed" ensure_packages
use_ccache

# The lanes' displays and Wine prefixes need no build: they are made while the builds run.
timed "windows lanes set-up" start_lanes "$QUORIN_BUILD/lanes" "$LANES" >"$RESULTS/lanes.log" 2>&1 &
lanes_pid=$!

log "native build"
if timed "native build" build_preset native; then
  native_ok=1
else
  native_ok=0; note_failure "native build"
fi

log "windows build"
windows_pid=
if timed "windows build" build_preset windows -DQUORIN_HOST_TOOLS="$QUORIN_BUILD/native"; then
  if wait "$lanes_pid"; then
    windows_tests >"$RESULTS/windows.out" 2>&1 &
    windows_pid=$!
  else
    note_failure "windows lanes set-up"; cat "$RESULTS/lanes.log" >&2
  fi
else note_failure "windows build"; fi

if ((native_ok)); then
  timed "native tests" run_ctest "$QUORIN_BUILD/native" native -j1
  timed "skin contact sheet" skin_sheet
fi

log "native build with sanitizers"
asan_ok=0
if timed "sanitizer build" build_preset native-asan; then asan_ok=1; else note_failure "sanitizer build"; fi

# The fuzz runs take one core for a fixed time each, the sanitizer tests mostly the other:
# they run side by side once both are built.
log "fuzz targets, ${FUZZ_SECONDS}s each (tools/fuzz.sh SECONDS for longer campaigns)"
fuzz_pid=
if timed "fuzz build" build_fuzz_targets; then
  timed "fuzz runs" fuzz_runs 2>"$RESULTS/fuzz.out" &
  fuzz_pid=$!
else note_failure "fuzz build"; fi
if ((asan_ok)); then timed "sanitizer tests" run_ctest "$QUORIN_BUILD/native-asan" asan -j1; fi
if [ -n "$fuzz_pid" ]; then
  wait "$fuzz_pid"
  cat "$RESULTS/fuzz.out" >&2
fi

if [ -n "$windows_pid" ]; then
  log "waiting for the Windows tests"
  timed "waiting for windows tests" wait "$windows_pid"
  cat "$RESULTS/windows.out" >&2
  if ((native_ok)); then packages; fi
fi

log "breakdown (wall time of each stage; the Windows tests ran beside the native stages)"
cat "$RESULTS/timings" >&2
python3 "$QUORIN_ROOT/tools/summarize_results.py" times "$RESULTS" >&2
log "total: $SECONDS s"
[ -f "$RESULTS/stage-failures" ] && failures=$(wc -l <"$RESULTS/stage-failures")
python3 "$QUORIN_ROOT/tools/summarize_results.py" total "$RESULTS" "$failures"
