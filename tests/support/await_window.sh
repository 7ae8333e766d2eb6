#!/usr/bin/env bash
# await_window.sh PID — waits up to 40 s for the demo's window ("GLIDER TEST
# PROGRAM") to be visible and prints its X window id. When it never shows,
# says so, kills PID and exits 1.
# Used by the X-based tests right after they start qm7 in the background:
#   demo=$("$QM7_TEST_SUPPORT/await_window.sh" "$pid") || exit 1
pid=$1
for _ in $(seq 200); do
  demo=$(xdotool search --onlyvisible --name "GLIDER TEST PROGRAM" 2>/dev/null | head -1)
  [ -n "$demo" ] && { echo "$demo"; exit 0; }
  sleep 0.2
done
echo "FAIL: the demo window never appeared" >&2
kill -9 "$pid"
exit 1
