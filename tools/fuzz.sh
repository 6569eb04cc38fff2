#!/usr/bin/env bash
# Longer fuzzing campaigns than tools/test.sh's brief runs: builds the fuzz preset and runs
# every target (or the named ones) for SECONDS each, one after the other. The corpora in
# build/fuzz/corpus/ are kept, so each campaign starts where the last one stopped; crashing
# inputs are saved under build/fuzz/artifacts/. Ends with each target's executions per
# second and "N passed, N failed".
#   tools/fuzz.sh SECONDS [TARGET...]      e.g. tools/fuzz.sh 600 Winconvert_fuzz
set -u
. "$(dirname "$0")/common.sh"

seconds=${1:-}
if ! [[ $seconds =~ ^[1-9][0-9]*$ ]]; then
  echo "usage: $0 SECONDS [TARGET...]" >&2
  exit 2
fi
shift

ensure_packages
use_ccache
mkdir -p "$QUORIN_BUILD/fuzz-logs"
build_fuzz_targets || exit 1

targets=("$@")
if ((${#targets[@]} == 0)); then
  for f in "$QUORIN_BUILD"/fuzz/fuzz/*_fuzz; do [ -x "$f" ] && targets+=("$(basename "$f")"); done
fi

passed=0 failed=0 table=()
for n in "${targets[@]}"; do
  exe=$QUORIN_BUILD/fuzz/fuzz/$n
  [ -x "$exe" ] || { log "no fuzz target $n"; failed=$((failed + 1)); continue; }
  log "$n for ${seconds}s"
  logfile=$QUORIN_BUILD/fuzz-logs/$n.log
  if line=$(fuzz_target "$exe" "$seconds" "$logfile"); then
    passed=$((passed + 1)); status=pass
  else
    failed=$((failed + 1)); status=FAIL
    tail -n 30 "$logfile" >&2
  fi
  read -r _ runs secs rate <<<"$line"
  table+=("$(printf '%-22s %6s %12s runs %6ss %9s exec/s  corpus %s' "$n" "$status" "$runs" "$secs" "$rate" \
    "$(find "$QUORIN_BUILD/fuzz/corpus/$n" -type f | wc -l)")")
done
printf '%s\n' "${table[@]}"
echo "$passed passed, $failed failed"
((failed == 0))
