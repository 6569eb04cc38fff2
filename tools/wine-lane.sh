#!/bin/sh
# How the Windows build runs its programs on the build machine (CMake's cross-compiling
# emulator): under Wine. When tools/test.sh runs the Windows tests in lanes, ctest hands
# each test one lane (its resource "lanes"), and the test runs on that lane's own Xvfb
# display, Wine prefix and virtual converters, which tools/test.sh set up and described in
# QUORIN_LANES_ROOT/ID/env. Otherwise the caller's Wine set-up is used as it is.
if [ -n "${QUORIN_LANES_ROOT:-}" ] && [ -n "${CTEST_RESOURCE_GROUP_0_LANES:-}" ]; then
  lane=${CTEST_RESOURCE_GROUP_0_LANES#id:}
  lane=${lane%%,*}
  . "$QUORIN_LANES_ROOT/$lane/env"
fi
exec wine "$@"
