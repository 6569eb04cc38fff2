#!/bin/sh
# A start the window system refuses (no X display for Wine to open windows on) ends with
# status 1 and says why on standard error, where a script or a prompt reads it, as no box
# can be shown: it neither reports success nor runs on with no window. Run in a lane as the
# other Windows tests are (tools/wine-lane.sh), with the display taken away.
# Usage: failed-start.sh CANConfig.exe
if [ -n "${QUORIN_LANES_ROOT:-}" ] && [ -n "${CTEST_RESOURCE_GROUP_0_LANES:-}" ]; then
  lane=${CTEST_RESOURCE_GROUP_0_LANES#id:}
  lane=${lane%%,*}
  . "$QUORIN_LANES_ROOT/$lane/env"
fi
err=$(DISPLAY=:4242 WINEDEBUG=-all timeout 60 wine "$1" 2>&1 >/dev/null)
rc=$?
printf '%s\n' "$err" | tail -n 5
[ "$rc" = 1 ] || { echo "failed start: status $rc, not 1"; exit 1; }
printf '%s\n' "$err" | grep -q "Error creating window" || { echo "failed start: no message on standard error"; exit 1; }
echo "failed start: status 1 and its message"
