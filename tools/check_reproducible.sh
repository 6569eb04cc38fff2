#!/usr/bin/env bash
# Checks that the packages are reproducible: copies the tree (its tracked files and any new
# ones not ignored) to another path, builds the packaged programs there against the same
# compiler cache, packages them with tools/package.sh --only, and compares every file of
# that build/dist with this tree's, byte for byte. Any package tools/package.sh adds is
# compared too. One line, "package.reproducible pass|fail", on standard output; the
# reasons on standard error. Run it after tools/package.sh.
set -u
. "$(dirname "$0")/common.sh"

DIST=$QUORIN_BUILD/dist
# Another path, of another length, so that a path left in a binary shows.
work=$(mktemp -d /tmp/quorin-second-build.XXXXXX)
trap 'rm -rf "$work"' EXIT

why=()
mkdir -p "$work/tree"
(cd "$QUORIN_ROOT" && git ls-files -z -co --exclude-standard | xargs -0 -r sh -c 'for f; do [ -f "$f" ] && printf "%s\0" "$f"; done' sh |
  tar -c --null -T - -f -) | tar -x -C "$work/tree" || why+=("cannot copy the tree")
# The same commit time as the first build's; the copy has no history to read it from.
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git -C "$QUORIN_ROOT" log -1 --format=%ct)}
if ((${#why[@]} == 0)); then
  (unset QUORIN_BUILD; "$work/tree/tools/package.sh" --only) >"$work/package.out" 2>&1 ||
    why+=("the second build failed: $(tail -n 20 "$work/package.out" | tr '\n' ' ')")
fi
second=$work/tree/build/dist
if ((${#why[@]} == 0)); then
  first_list=$(cd "$DIST" && find . -type f | LC_ALL=C sort)
  second_list=$(cd "$second" && find . -type f | LC_ALL=C sort)
  [ -n "$first_list" ] && [ "$first_list" = "$second_list" ] ||
    why+=("the builds made different files: '$first_list' and '$second_list'")
  while read -r f; do
    [ -n "$f" ] || continue
    cmp -s "$DIST/$f" "$second/$f" || why+=("${f#./} differs")
  done <<<"$first_list"
fi
if ((${#why[@]})) && [ -n "${QUORIN_KEEP_SECOND_BUILD:-}" ]; then
  rm -rf "$QUORIN_KEEP_SECOND_BUILD"; cp -a "$second" "$QUORIN_KEEP_SECOND_BUILD" 2>/dev/null
fi
result package.reproducible "${why[@]}"
