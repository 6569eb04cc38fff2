#!/usr/bin/env bash
# Builds the release packages into build/dist/, building both presets first where needed:
#   quorin-VERSION-windows-x64.zip   CANConfig.exe, quorin-cli.exe, skins\, policies\, README.txt, LICENSE.txt
#   quorin-VERSION-x64.msi           the same files, installed per machine (tools/package_msi.sh)
#   quorin-VERSION-policies/         the administrative templates, beside the installer
#   quorin-cli_VERSION_amd64.deb     /usr/bin/quorin-cli, its man page, README, changelog, copyright
#   quorin-canconfig-VERSION.tar.gz  the Ansible collection quorin.canconfig (ansible/)
#   SHA256SUMS                       the checksums of every package above
# The version is the project's (CMakeLists.txt); the zip and the .deb are CPack's
# (cmake/Packaging.cmake), the collection ansible-galaxy's.
#
# Every package is the same, byte for byte, from any checkout of a commit: their dates are
# the commit's (SOURCE_DATE_EPOCH, unless already set), the checkout's path is mapped out of
# the binaries, and the archives are rewritten with sorted entries and fixed owners and
# modes (tools/normalize_package.py, dpkg-deb).
#   tools/package.sh            build what is needed, then package; prints the packages' paths
#   tools/package.sh --built    package the builds as they stand (tools/test.sh)
#   tools/package.sh --only     build only the packaged programs (the reproducibility check)
#   tools/package.sh VERSION    the zip and the installer of VERSION (MAJOR.MINOR.PATCH) instead,
#                               from programs built to carry it in build/winother (the
#                               installer's upgrade checks need a second version); the rest of
#                               build/dist and build/windows are left alone
set -euo pipefail
. "$(dirname "$0")/common.sh"

DIST=$QUORIN_BUILD/dist
mode=${1:-}

# The commit's time, or the newest tracked file's in a copy without its history.
source_date_epoch() {
  if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
    SOURCE_DATE_EPOCH=$(git -C "$QUORIN_ROOT" log -1 --format=%ct 2>/dev/null) ||
      SOURCE_DATE_EPOCH=$(find "$QUORIN_ROOT" -path "$QUORIN_BUILD" -prune -o -type f -printf '%T@\n' |
        sort -n | tail -n 1 | cut -d. -f1)
  fi
  export SOURCE_DATE_EPOCH
}

# Only what the packages hold, and CPack installs without building everything first.
build_packaged() {
  local skip=-DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON
  cmake --preset native -S "$QUORIN_ROOT" "$skip" >/dev/null
  cmake --build "$QUORIN_BUILD/native" -j"$(jobs_count)" --target quorin-cli quorin_cli_man quorin_cli_changelog \
    >"$QUORIN_BUILD/native.build.log" 2>&1 || { tail -n 60 "$QUORIN_BUILD/native.build.log" >&2; return 1; }
  cmake --preset windows -S "$QUORIN_ROOT" "$skip" -DQUORIN_HOST_TOOLS="$QUORIN_BUILD/native" >/dev/null
  cmake --build "$QUORIN_BUILD/windows" -j"$(jobs_count)" --target CANConfig quorin-cli quorin_skins_folder \
    >"$QUORIN_BUILD/windows.build.log" 2>&1 || { tail -n 60 "$QUORIN_BUILD/windows.build.log" >&2; return 1; }
}

version() { sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$QUORIN_BUILD/native/CMakeCache.txt"; }

# The zip: CPack's, rewritten. Its strip would stamp the programs with SOURCE_DATE_EPOCH;
# 0 keeps them without a time stamp, as the linker made them.
package_zip() {
  (cd "$QUORIN_BUILD/windows" && SOURCE_DATE_EPOCH=0 cpack --config CPackConfig.cmake) || return 1
  python3 "$QUORIN_ROOT/tools/normalize_package.py" zip "$DIST/quorin-$(version)-windows-x64.zip"
}

# The installer of the zip, with the administrative templates beside it.
package_msi() {
  "$QUORIN_ROOT/tools/package_msi.sh" "$DIST/quorin-$(version)-windows-x64.zip" >/dev/null
}

# The .deb: CPack's contents, stripped of what Debian's own packages never ship (the
# compiler's comment and note sections), dated, and packed again by dpkg-deb, which sorts
# the entries, makes root their owner and takes its dates from SOURCE_DATE_EPOCH.
package_deb() {
  (cd "$QUORIN_BUILD/native" && cpack --config CPackConfig.cmake) || return 1
  local deb=$DIST/quorin-cli_$(version)_amd64.deb root=$QUORIN_BUILD/package-deb
  rm -rf "$root"
  dpkg-deb -R "$deb" "$root" || return 1
  strip --remove-section=.comment --remove-section=.note "$root/usr/bin/quorin-cli" || return 1
  (cd "$root" && find . -path ./DEBIAN -prune -o -type f -printf '%P\0' | LC_ALL=C sort -z |
    xargs -0 md5sum >DEBIAN/md5sums) || return 1
  find "$root" -type d -exec chmod 0755 {} +
  find "$root" -type f -exec chmod 0644 {} +
  chmod 0755 "$root/usr/bin/quorin-cli"
  find "$root" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
  dpkg-deb --root-owner-group -Zxz --build "$root" "$deb" >/dev/null || return 1
  rm -rf "$root"
}

# The Ansible collection, at the project's version, rewritten like the zip.
package_collection() {
  local stage=$QUORIN_BUILD/package-collection v
  v=$(version)
  rm -rf "$stage"; mkdir -p "$stage"
  (cd "$QUORIN_ROOT/ansible" && git ls-files -co --exclude-standard 2>/dev/null || find . -type f -printf '%P\n') |
    (cd "$QUORIN_ROOT/ansible" && xargs -d '\n' cp --parents -t "$stage") || return 1
  sed -i "s/^version: .*/version: $v/" "$stage/galaxy.yml"
  ansible-galaxy collection build --force --output-path "$DIST" "$stage" >/dev/null || return 1
  python3 "$QUORIN_ROOT/tools/normalize_package.py" targz "$DIST/quorin-canconfig-$v.tar.gz"
  rm -rf "$stage"
}

# Every package in build/dist, whoever made it.
write_checksums() {
  (cd "$DIST" && find . -maxdepth 1 -type f ! -name SHA256SUMS -printf '%P\n' | LC_ALL=C sort |
    xargs -d '\n' sha256sum >SHA256SUMS)
}

# One step a line; a failing step stops the release.
make_release() {
  rm -rf "$DIST" && mkdir -p "$DIST" &&
    source_date_epoch &&
    package_zip &&
    package_msi &&
    package_deb &&
    package_collection &&
    write_checksums
}

# other_version VERSION: the Windows zip and installer of programs that carry VERSION instead
# of the project's, built in build/winother with the native build's tools. That folder lies
# as deep as build/windows, so the compiler cache serves every object whose source does not
# read the version.
other_version() {
  local dir=$QUORIN_BUILD/winother
  mkdir -p "$DIST" && source_date_epoch || return 1
  cmake --preset windows -S "$QUORIN_ROOT" -B "$dir" -DQUORIN_VERSION="$1" -DQUORIN_TESTS=OFF \
    -DQUORIN_HOST_TOOLS="$QUORIN_BUILD/native" || return 1
  cmake --build "$dir" -j"$(jobs_count)" --target CANConfig quorin-cli quorin_skins_folder || return 1
  (cd "$dir" && SOURCE_DATE_EPOCH=0 cpack --config CPackConfig.cmake) || return 1
  python3 "$QUORIN_ROOT/tools/normalize_package.py" zip "$DIST/quorin-$1-windows-x64.zip" &&
    "$QUORIN_ROOT/tools/package_msi.sh" "$DIST/quorin-$1-windows-x64.zip" >/dev/null
}

if [[ $mode =~ ^[0-9]+\.[0-9]+\.[0-9]+$ ]]; then
  ensure_packages
  use_ccache
  build_preset native
  other_version "$mode" >"$QUORIN_BUILD/package.log" 2>&1 || {
    tail -n 30 "$QUORIN_BUILD/package.log" >&2
    exit 1
  }
  ls -1d "$DIST/quorin-$mode-windows-x64.zip" "$DIST/quorin-$mode-x64.msi" "$DIST/quorin-$mode-policies"
  exit 0
fi
case $mode in
  "" | --built | --only) ;;
  *) echo "package.sh: '$mode' is neither --built, --only nor a version (MAJOR.MINOR.PATCH)" >&2; exit 2 ;;
esac

if [ "$mode" != --built ]; then
  ensure_packages
  use_ccache
  if [ "$mode" = --only ]; then build_packaged; else build_all; fi
fi
make_release >"$QUORIN_BUILD/package.log" 2>&1 || {
  tail -n 30 "$QUORIN_BUILD/package.log" >&2
  exit 1
}
find "$DIST" -maxdepth 1 -type f | LC_ALL=C sort
