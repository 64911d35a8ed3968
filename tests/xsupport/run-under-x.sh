#!/usr/bin/env bash
# Runs a test executable against a real X server of its own: a fresh Xvfb
# (24-bit, 1280 x 1024) with openbox as the window manager, Qt on its X11
# plugin. Listing the tests needs no server.
set -u
for arg in "$@"; do
  if [ "$arg" = "--gtest_list_tests" ]; then
    QT_QPA_PLATFORM=offscreen exec "$@"
  fi
done

fifo=$(mktemp -u)
mkfifo "$fifo"
exec 3<>"$fifo"
rm -f "$fifo"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb=$!
display=""
read -r -t 20 display <&3 || true
exec 3>&-
if [ -z "$display" ]; then
  echo "run-under-x: Xvfb did not start" >&2
  kill "$xvfb" 2>/dev/null
  exit 1
fi
export DISPLAY=":$display"
# On X11 Qt opens a D-Bus link whose threads keep allocations to the end;
# full stacks let the leak checker see that they are D-Bus's own.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}fast_unwind_on_malloc=0"
export QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY
openbox --sm-disable >/dev/null 2>&1 &
wm=$!
# The window manager owns the root window's redirection once it runs.
for _ in $(seq 50); do
  if xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; then break; fi
  sleep 0.1
done
"$@"
status=$?
kill "$wm" "$xvfb" 2>/dev/null
wait "$wm" "$xvfb" 2>/dev/null
exit $status
