#!/usr/bin/env bash
# qm7_full_screen_under_xvfb.sh QM7 DATA_DIR WM — the demo started full screen
# (as a user starts it) on a 1920x1080 virtual X server, with the window
# manager WM ("openbox") or none ("none"), then switched to a window with
# Alt+Enter and back with F11. Checks:
#   - at start the window covers the screen (0,0 1920x1080) and, with a
#     window manager, carries the full-screen state;
#   - Alt+Enter leaves full screen for a 1280x960 window (with a window
#     manager too: SDL did not make the first full screen itself);
#   - F11 covers the screen again;
#   - exit status 0 within 5 s of Escape.
# Needs Xvfb, xdotool, xprop and xwininfo (and WM); exits 77 (skipped) without them.
set -euo pipefail
qm7=$1 data=$2 wm=$3
here=$(cd "$(dirname "$0")" && pwd)
export QM7_TEST_SUPPORT="$here/../support"
source "$QM7_TEST_SUPPORT/preflight.sh"
need_tools Xvfb xdotool xprop xwininfo
need_data "$data"

inside='
qm7=$1 data=$2 wm=$3
source "$QM7_TEST_SUPPORT/x_session.sh"
fail=0
cd "$data"
SDL_AUDIODRIVER=dummy QM7_STATS=1 "$qm7" >/dev/null 2>"$data/../qm7_full_screen_$wm.log" &
pid=$!
demo=$(x_window "$pid") || exit 1
sleep 1
expect() {  # what "X Y W H"
  local got; got=$(x_geometry "$demo")
  if [ "$got" != "$2" ]; then echo "FAIL: $1: window at/size \"$got\", wanted \"$2\""; fail=1;
  else echo "$1: $got"; fi
}
expect "start" "0 0 1920 1080"
state=$(xprop -id "$demo" _NET_WM_STATE)
if [ "$wm" != none ] && [[ $state != *_NET_WM_STATE_FULLSCREEN* ]]; then
  echo "FAIL: start: no full-screen state: $state"; fail=1
fi
xdotool windowfocus --sync "$demo" 2>/dev/null || true
xdotool key alt+Return
sleep 2
read -r x y w h < <(x_geometry "$demo")
if [ "$w $h" != "1280 960" ]; then echo "FAIL: Alt+Enter: window $w x $h at $x,$y, wanted 1280 x 960"; fail=1;
else echo "Alt+Enter: window $w x $h at $x,$y"; fi
xdotool key F11
sleep 2
expect "F11" "0 0 1920 1080"
xdotool key Escape
"$QM7_TEST_SUPPORT/await_exit.sh" "$pid" 5 || exit 1
wait "$pid"; status=$?
[ "$status" = 0 ] || { echo "FAIL: exit status $status"; fail=1; }
exit $fail
'
exec "$QM7_TEST_SUPPORT/x_session.sh" 1920x1080 "$wm" bash -c "$inside" inside "$qm7" "$data" "$wm"
