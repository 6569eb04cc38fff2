#!/usr/bin/env bash
# tools/package.sh [VERSION]: builds the release packages into build/dist/, building both
# presets first where needed:
#   quorin-VERSION-windows-x64.zip   CANConfig.exe, quorin-cli.exe, skins\, policies\, README.txt, LICENSE.txt
#   quorin-VERSION-x64.msi           the same files, installed per machine (tools/package_msi.sh)
#   quorin-VERSION-policies/         the administrative templates, beside the installer
#   quorin-cli_VERSION_amd64.deb     /usr/bin/quorin-cli, its man page, README, copyright
# The version is the project's (CMakeLists.txt); the zip and the .deb are CPack's
# (cmake/Packaging.cmake). With VERSION (MAJOR.MINOR.PATCH), the Windows packages of that
# version instead, from programs built to carry it in build/winother (the installer's
# upgrade checks need a second version); the .deb and build/windows are left alone.
# Prints the packages' paths.
set -euo pipefail
. "$(dirname "$0")/common.sh"

other=${1:-}
if [ -n "$other" ] && ! [[ $other =~ ^[0-9]+\.[0-9]+\.[0-9]+$ ]]; then
  echo "package.sh: '$other' is not a version (MAJOR.MINOR.PATCH)" >&2
  exit 2
fi
ensure_packages
use_ccache
DIST=$QUORIN_BUILD/dist
if [ -z "$other" ]; then
  build_all
  make_packages >"$QUORIN_BUILD/package.log" 2>&1 || {
    tail -n 30 "$QUORIN_BUILD/package.log" >&2
    exit 1
  }
  version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$QUORIN_BUILD/native/CMakeCache.txt")
else
  build_preset native
  make_other_version_packages "$other" >"$QUORIN_BUILD/package.log" 2>&1 || {
    tail -n 30 "$QUORIN_BUILD/package.log" >&2
    exit 1
  }
  version=$other
fi
"$QUORIN_ROOT/tools/package_msi.sh" "$DIST/quorin-$version-windows-x64.zip" >/dev/null
ls -1d "$DIST/quorin-$version-windows-x64.zip" "$DIST/quorin-$version-x64.msi" "$DIST/quorin-$version-policies"
[ -n "$other" ] || ls -1 "$DIST/quorin-cli_${version}_amd64.deb"
