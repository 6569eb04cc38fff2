#!/usr/bin/env bash
# Builds the release packages into build/dist/, building both presets first where needed:
#   quorin-VERSION-windows-x64.zip   CANConfig.exe, quorin-cli.exe, skins\, README.txt, LICENSE.txt
#   quorin-cli_VERSION_amd64.deb     /usr/bin/quorin-cli, its man page, README, copyright
# The version is the project's (CMakeLists.txt); the packages are CPack's (cmake/Packaging.cmake).
# Prints the packages' paths.
set -euo pipefail
. "$(dirname "$0")/common.sh"

ensure_packages
use_ccache
build_all
make_packages >"$QUORIN_BUILD/package.log" 2>&1 || {
  tail -n 30 "$QUORIN_BUILD/package.log" >&2
  exit 1
}
DIST=$QUORIN_BUILD/dist
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$QUORIN_BUILD/native/CMakeCache.txt")
ls -1 "$DIST/quorin-$version-windows-x64.zip" "$DIST/quorin-cli_${version}_amd64.deb"
