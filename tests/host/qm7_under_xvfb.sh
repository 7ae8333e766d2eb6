#!/usr/bin/env bash
# qm7_under_xvfb.sh QM7 DATA_DIR — plays the real demo for a few seconds on a
# virtual X server (no sound card: SDL's dummy audio driver), sends Escape,
# and checks exit status 0, frames presented by the main loop, and a screen
# that is not all black. Prints qm7's standard error, and on failure its
# standard output as well.
set -euo pipefail
qm7=$1
data=$2
here=$(cd "$(dirname "$0")" && pwd)
export QM7_TEST_SUPPORT="$here/../support"
source "$QM7_TEST_SUPPORT/preflight.sh"
source "$QM7_TEST_SUPPORT/x_session.sh"
need_data "$data"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cat > "$work/inside.sh" <<'INSIDE'
#!/usr/bin/env bash
set -uo pipefail
qm7=$1 data=$2 work=$3
source "$QM7_TEST_SUPPORT/x_session.sh"
cd "$data"
SDL_AUDIODRIVER=dummy QM7_STATS=1 "$qm7" >"$work/stdout" 2>"$work/stderr" &
pid=$!
sleep 4
x_grab "$work/screen.gray"
xdotool key Escape
"$QM7_TEST_SUPPORT/await_exit.sh" "$pid" 5 || exit 1
wait "$pid"
echo $? >"$work/status"
INSIDE

fail=0
"$QM7_TEST_SUPPORT/x_session.sh" 640x480 none bash "$work/inside.sh" "$qm7" "$data" "$work" || fail=1
status=$(cat "$work/status" 2>/dev/null || echo none)
echo "-- qm7's standard error:"
cat "$work/stderr" 2>/dev/null
if [ "$status" != 0 ]; then echo "FAIL: exit status $status"; fail=1; fi
loop_frames=$(qm7_stat loop_frames "$work/stderr")
if [ -z "$loop_frames" ] || [ "$loop_frames" -lt 20 ]; then
  echo "FAIL: main loop presented ${loop_frames:-no} frames"; fail=1
fi
lit=$(tr -d '\000' <"$work/screen.gray" 2>/dev/null | wc -c) || lit=0
if [ "$lit" -eq 0 ]; then echo "FAIL: the screen was all black"; fail=1; fi
echo "exit status $status, $loop_frames main-loop frames, $lit lit pixels of 307200"
if [ "$fail" != 0 ]; then
  echo "-- qm7's standard output:"
  cat "$work/stdout" 2>/dev/null
fi
exit $fail
