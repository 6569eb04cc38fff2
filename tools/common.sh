# Shared set-up for tools/run.sh and tools/test.sh: packages, builds, Wine prefix, Xvfb.
# Source it; it changes nothing until a function is called.

QUORIN_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
QUORIN_BUILD=${QUORIN_BUILD:-$QUORIN_ROOT/build}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEARCH=win64
# No Mono or Gecko installers: the program needs neither.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

# CPack's .deb reads the binary's libraries with dpkg-shlibdeps and `file`, which a bare
# machine lacks. The installer is built by wixl and checked with msitools, at a fixed clock
# (faketime) so that the same files give the same package. The Ansible collection is built
# and driven with Debian's ansible-core, and its sanity test lints with Debian's linters
# (tools/ansible-sanity.py); lintian checks the .deb.
QUORIN_PACKAGES=(cmake make g++ clang libclang-rt-14-dev googletest libbenchmark-dev
  g++-mingw-w64-x86-64-posix wine wine64 xvfb x11-utils xdotool imagemagick
  fonts-wqy-microhei fonts-dejavu-core python3 nlohmann-json3-dev libcli11-dev
  ccache help2man dpkg-dev file wixl msitools faketime ansible-core lintian pylint yamllint
  python3-voluptuous pycodestyle)

log() { printf '== %s\n' "$*" >&2; }

# result NAME WHY...: one line of a check script, "NAME pass" without a reason and "NAME fail"
# with one (the reason goes to standard error).
result() {
  local name=$1; shift
  if (($#)); then
    echo "$name fail"
    printf '%s: %s\n' "$name" "$*" >&2
  else
    echo "$name pass"
  fi
}

# Installs whatever of the package list is missing; quiet and idempotent.
ensure_packages() {
  local missing=()
  for p in "${QUORIN_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  if ((${#missing[@]})); then
    log "installing ${missing[*]}"
    local sudo=; [ "$(id -u)" = 0 ] || sudo=sudo
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -qq >/dev/null
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
  fi
}

jobs_count() { nproc 2>/dev/null || echo 2; }

# fuzz_target EXE SECONDS LOG: one libFuzzer campaign of a target of the fuzz build. New
# inputs go to build/fuzz/corpus/NAME, which later runs start from (the seeds under
# tests/fuzz/seeds are read too); a crashing input is saved under build/fuzz/artifacts.
# The input cap comes from the target's NAME.max_len beside it. Prints "NAME RUNS SECONDS
# EXEC/S" and returns libFuzzer's status.
fuzz_target() {
  local exe=$1 seconds=$2 logfile=$3 n cap=() rc
  n=$(basename "$exe")
  local corpus=$QUORIN_BUILD/fuzz/corpus/$n artifacts=$QUORIN_BUILD/fuzz/artifacts/
  mkdir -p "$corpus" "$artifacts"
  local seeds=$QUORIN_ROOT/tests/fuzz/seeds/$n; [ -d "$seeds" ] || seeds=
  [ -f "$exe.max_len" ] && cap=(-max_len="$(cat "$exe.max_len")")
  "$exe" -max_total_time="$seconds" -rss_limit_mb=2048 -print_final_stats=1 "${cap[@]}" \
    -artifact_prefix="$artifacts" "$corpus" $seeds >"$logfile" 2>&1
  rc=$?
  local runs secs
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$logfile" | tail -n 1)
  secs=$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$logfile" | tail -n 1)
  runs=${runs:-0}; secs=${secs:-0}
  echo "$n $runs $secs $((secs > 0 ? runs / secs : runs))"
  return $rc
}

# use_ccache: every build compiles through the compiler cache. Its folder lies outside the
# tree, so a fresh clone on the same machine finds what an earlier clone compiled; paths
# under the tree are hashed relative to it, so the clone's own path does not matter.
use_ccache() {
  command -v ccache >/dev/null || return 0
  export CCACHE_DIR=${CCACHE_DIR:-$HOME/.cache/quorin-ccache}
  export CCACHE_BASEDIR=$QUORIN_ROOT CCACHE_NOHASHDIR=1
  export CCACHE_MAXSIZE=${CCACHE_MAXSIZE:-10G}
  export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache
}

# build_preset PRESET [extra cmake args...]: configure (once) and build.
build_preset() {
  local preset=$1; shift
  cmake --preset "$preset" -S "$QUORIN_ROOT" "$@" >/dev/null
  cmake --build "$QUORIN_BUILD/$preset" -j"$(jobs_count)" >"$QUORIN_BUILD/$preset.build.log" 2>&1 || {
    tail -n 60 "$QUORIN_BUILD/$preset.build.log" >&2
    return 1
  }
}

# build_fuzz_targets: the fuzz preset's targets and only what they link; the tools, the
# command line and the skin packing a whole build would add are the native build's business.
build_fuzz_targets() {
  cmake --preset fuzz -S "$QUORIN_ROOT" >/dev/null
  cmake --build "$QUORIN_BUILD/fuzz" -j"$(jobs_count)" --target fuzz_targets >"$QUORIN_BUILD/fuzz.build.log" 2>&1 || {
    tail -n 60 "$QUORIN_BUILD/fuzz.build.log" >&2
    return 1
  }
}

# The tools the Windows build runs on the build machine (the skin packer) come from the native build.
build_all() {
  build_preset native
  build_preset windows -DQUORIN_HOST_TOOLS="$QUORIN_BUILD/native"
}

# wine_prefix DIR: a private 64-bit prefix with the CJK font linked for the faces the program uses.
wine_prefix() {
  export WINEPREFIX=$1
  if [ ! -f "$WINEPREFIX/.quorin-ready" ]; then
    log "creating Wine prefix $WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    wineboot -i </dev/null >/dev/null 2>&1
    wineserver -w
    local key='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink'
    local face
    for face in "MS Sans Serif" "Microsoft Sans Serif" "Tahoma" "MS Shell Dlg" "MS Shell Dlg 2" "Segoe UI" "Arial" "Courier New" "System"; do
      wine reg add "$key" /v "$face" /t REG_MULTI_SZ /d 'wqy-microhei.ttc,WenQuanYi Micro Hei' /f </dev/null >/dev/null 2>&1
    done
    wineserver -w
    touch "$WINEPREFIX/.quorin-ready"
  fi
  # The test displays run no window manager, and Wine waits up to 2 s for one to confirm
  # each top-level window it hides: every message box closed costs 2 s. The handle soak
  # closes a hundred of them, so its program alone lets Wine place its windows itself,
  # as it does where no window manager runs. (Added apart from the set-up above so that
  # prefixes made before it get it too.)
  if [ ! -f "$WINEPREFIX/.quorin-soak-unmanaged" ]; then
    wine reg add 'HKCU\Software\Wine\AppDefaults\windows_HandleSoak_test.exe\X11 Driver' /v Managed /t REG_SZ /d N /f \
      </dev/null >/dev/null 2>&1
    wineserver -w
    touch "$WINEPREFIX/.quorin-soak-unmanaged"
  fi
}

# start_wineserver: a persistent server, and Wine's background services, started with no
# pipes attached. A wine call whose output is captured would otherwise start them, and they
# would hold that pipe open until they exit, so the caller would hang.
start_wineserver() {
  wineserver -p </dev/null >/dev/null 2>&1
  wine wineboot </dev/null >/dev/null 2>&1
}

# unmanaged_windows: no window manager runs on a test display, yet Wine, believing one
# manages the top-level windows, waits up to 2 s at every hide of one (a message box, a
# dialog, a closed form) for the manager to withdraw it. The prefix's windows are made
# unmanaged instead, which is what they are there. Not for tools/run.sh: on a desktop
# the window manager should manage the program's window.
unmanaged_windows() {
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
}

stop_wineserver() {
  wineserver -k </dev/null >/dev/null 2>&1 || true
  wineserver -w </dev/null >/dev/null 2>&1 || true
}

# start_xvfb: starts Xvfb on a free display, exports DISPLAY, records the pid in XVFB_PID.
# The screen is a 200 % laptop's (2560 x 1600), so the window fits at the largest display
# scale the tests try.
start_xvfb() {
  local n=${QUORIN_DISPLAY_BASE:-90}
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 2560x1600x24 -nolisten tcp >/dev/null 2>&1 &
  XVFB_PID=$!
  local i
  for i in $(seq 1 100); do
    [ -e "/tmp/.X11-unix/X$n" ] && break
    sleep 0.1
  done
  export DISPLAY=":$n"
}

stop_xvfb() {
  [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null || true
}

# start_lanes ROOT N: N lanes for the Windows tests to run side by side, each with its own
# Xvfb display, Wine prefix, wineserver and folder of virtual converters, described for
# tools/wine-lane.sh in ROOT/ID/env and for ctest in ROOT/lanes.json. The real-input tests
# need a display to themselves, and a test that switches a converter's faults must be the
# only one talking to it. The first lane's prefix is made as usual and copied for the others.
start_lanes() {
  local root=${1:?start_lanes ROOT COUNT} count=${2:?start_lanes ROOT COUNT} i
  export QUORIN_LANES_ROOT=$root
  rm -rf "$root"; mkdir -p "$root"
  local saved_prefix=${WINEPREFIX:-}
  wine_prefix "$QUORIN_BUILD/wineprefix"
  wineserver -w </dev/null >/dev/null 2>&1
  local spec='{"version": {"major": 1, "minor": 0}, "local": [{"lanes": ['
  for ((i = 0; i < count; i++)); do
    mkdir -p "$root/$i"
    cp -a "$QUORIN_BUILD/wineprefix" "$root/$i/wineprefix" || return 1
    (
      start_xvfb
      echo "$XVFB_PID" >"$root/$i/xvfb.pid"
      cat >"$root/$i/env" <<ENV
export DISPLAY=$DISPLAY
export WINEPREFIX=$root/$i/wineprefix
export QUORIN_VCONV_DIR=$root/$i/vconv
ENV
      . "$root/$i/env"
      start_wineserver
      unmanaged_windows
    ) || return 1
    if ((i)); then spec+=', '; fi
    spec+="{\"id\": \"$i\", \"slots\": 1}"
  done
  echo "$spec]}]}" >"$root/lanes.json"
  if [ -n "$saved_prefix" ]; then export WINEPREFIX=$saved_prefix; fi
}

stop_lanes() {
  # Without a root the loop below would walk / and remove files named env there.
  local root=${1:?stop_lanes ROOT} d
  for d in "$root"/*/; do
    [ -f "$d/env" ] || continue
    (
      . "$d/env"
      stop_wineserver
      [ -f "$d/xvfb.pid" ] && kill "$(cat "$d/xvfb.pid")" 2>/dev/null
      # The prefix copies are large and made afresh each run; the converters' logs stay.
      rm -rf "$d/xvfb.pid" "$d/env" "$d/wineprefix"
    )
  done
  unset QUORIN_LANES_ROOT
}
