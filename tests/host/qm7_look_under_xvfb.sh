#!/usr/bin/env bash
# qm7_look_under_xvfb.sh QM7 DATA_DIR PATH — how one presentation path
# (QM7_PRESENT=PATH: cpu or gpu) enlarges the picture, seen as a user sees
# it: the demo full screen on a 1920x1080 virtual X server with openbox,
# showing the one-pixel checkerboard test frame (QM7_TEST_FRAME=checker).
# Checks, on a grab of the whole screen (kept as qm7_look_PATH.png beside
# DATA_DIR):
#   - the picture is 1440x1080 at 240,0, black bars left and right;
#   - every source pixel's footprint is 4.5 screen pixels within 0.25,
#     across and down (tests/support/footprint.py);
#   - QM7_STATS names PATH and no fallback that loses the look;
#   - exit status 0 within 5 s of Escape.
# Needs Xvfb, openbox, xdotool, ffmpeg and python3-pil; exits 77 (skipped)
# without them.
set -euo pipefail
qm7=$1 data=$2 path=$3
here=$(cd "$(dirname "$0")" && pwd)
export QM7_TEST_SUPPORT="$here/../support"
source "$QM7_TEST_SUPPORT/preflight.sh"
need_tools Xvfb openbox xdotool ffmpeg
need_data "$data"
/usr/bin/python3 -c 'import PIL' 2>/dev/null || { echo "python3-pil not found: skipping"; exit 77; }

inside='
qm7=$1 data=$2 path=$3
source "$QM7_TEST_SUPPORT/x_session.sh"
fail=0
grab="$data/../qm7_look_$path.png"
log="$data/../qm7_look_$path.log"
cd "$data"
QM7_TEST_FRAME=checker QM7_PRESENT=$path SDL_AUDIODRIVER=dummy QM7_STATS=1 "$qm7" >/dev/null 2>"$log" &
pid=$!
x_window "$pid" >/dev/null || exit 1
sleep 1.5
x_grab "$grab"
xdotool key Escape
"$QM7_TEST_SUPPORT/await_exit.sh" "$pid" 5 || exit 1
wait "$pid"; status=$?
[ "$status" = 0 ] || { echo "FAIL: exit status $status"; fail=1; }
"$QM7_TEST_SUPPORT/footprint.py" check "$grab" >"$grab.txt" || fail=1
cat "$grab.txt"
grep -q "^picture 1440x1080 at 240,0 " "$grab.txt" || { echo "FAIL: picture not 1440x1080 at 240,0"; fail=1; }
report=$(qm7_stat presentation "$log")
echo "qm7: presentation $report"
case "$report" in
  "$path:"*"not all the same size"*) echo "FAIL: the $path path lost the look"; fail=1 ;;
  "$path:"*) ;;
  *) echo "FAIL: QM7_STATS does not name the $path path"; fail=1 ;;
esac
exit $fail
'
exec "$QM7_TEST_SUPPORT/x_session.sh" 1920x1080 openbox bash -c "$inside" inside "$qm7" "$data" "$path"
