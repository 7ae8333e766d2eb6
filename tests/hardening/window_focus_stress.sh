#!/usr/bin/env bash
# window_focus_stress.sh QM7 QM7_CAPTURE DATA_DIR [QM7 ARGUMENTS...] — the
# real demo (full screen, or with --window in a window) on a virtual X server,
# playing into a sound server of its own, loses and regains the keyboard
# focus four times to a second small window, then gets Escape.
# Checks:
#   - while inactive nothing is drawn (two screen grabs 1.8 s apart match);
#   - after each return drawing resumes (two grabs 0.5 s apart differ);
#   - exit status 0 within 5 s of Escape;
#   - the music kept playing through the pauses: the position it reports at
#     the end (QM7_STATS) is where a frame-exact capture run is after the
#     same playing time: at most 5 s behind and 3 s ahead. The four pauses
#     of about 2.5 s each would put a stopped music 10 s or more behind, a
#     restarted one further. The sound server's null sink takes the music at
#     the real rate whatever the load, and a 200 ms stream buffer
#     (PULSE_LATENCY_MSEC) keeps it from running dry on a busy machine.
#     (SDL's dummy audio driver, used before, sleeps a whole buffer after
#     each callback and fell 14% behind the clock with the machine loaded:
#     6.7 s over 47 s, as far behind as a music stopped in the pauses.)
# On any failure it prints qm7's own standard output and error and exit
# status, and what windows the X server had.
# Needs Xvfb, xdotool, xmessage, ffmpeg and pulseaudio; exits 77 (skipped)
# without them.
set -euo pipefail
qm7=$1 capture=$2 data=$3
here=$(cd "$(dirname "$0")" && pwd)
export QM7_TEST_SUPPORT="$here/../support"
source "$QM7_TEST_SUPPORT/preflight.sh"
source "$QM7_TEST_SUPPORT/x_session.sh"
shift 3
need_tools Xvfb xdotool xmessage ffmpeg xwininfo pulseaudio pactl
need_data "$data"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Reference: the music position against playing time, from a capture run at
# 20 frames per second (pass n is n / 20 s after the music started). It covers
# four minutes: on a loaded machine the grabs and focus changes below can
# stretch the run far past its usual 30 s.
fps=20
"$capture" --data "$data" --fps $fps --escape 240 --trace "$work/reference.tsv" >/dev/null

cat >"$work/inside.sh" <<'INSIDE'
#!/usr/bin/env bash
set -uo pipefail
qm7=$1 data=$2 work=$3
shift 3
source "$QM7_TEST_SUPPORT/x_session.sh"
grab() { x_grab - 320 240 | md5sum | cut -c1-32; }
cd "$data"
SDL_AUDIODRIVER=pulseaudio PULSE_LATENCY_MSEC=200 QM7_STATS=1 "$qm7" "$@" >"$work/stdout" 2>"$work/stderr" &
pid=$!
# When the window never shows (or qm7 ends first), qm7's status is kept.
if ! demo=$(x_window "$pid"); then
  wait "$pid"
  echo $? >"$work/status"
  exit 1
fi
# Another window to give the focus to: without a window manager, focus moves
# only where xdotool puts it.
xmessage -geometry 60x20+560+440 other &
other_pid=$!
other=""
for _ in $(seq 50); do
  # (xmessage does not say its process id; it is the only one on this server.)
  other=$(xdotool search --onlyvisible --name '^xmessage$' 2>/dev/null |
          sort -n | tail -1)
  [ -n "$other" ] && break
  sleep 0.1
done
if [ -z "$other" ]; then
  echo "FAIL: the second window never appeared; the X server's windows:"
  x_windows
  kill -9 "$pid"
  exit 1
fi
sleep 1
fail=0
for round in 1 2 3 4; do
  xdotool windowfocus --sync "$other"
  sleep 0.5
  a=$(grab); sleep 1.8; b=$(grab)
  if [ "$a" != "$b" ]; then echo "FAIL: round $round: the picture changed while inactive"; fail=1; fi
  xdotool windowfocus --sync "$demo"
  sleep 0.4
  c=$(grab); sleep 0.5; d=$(grab)
  if [ "$c" = "$d" ]; then echo "FAIL: round $round: drawing did not resume"; fail=1; fi
done
xdotool key --window "$demo" Escape
"$QM7_TEST_SUPPORT/await_exit.sh" "$pid" 5 || fail=1
wait "$pid"
echo $? >"$work/status"
kill "$other_pid" 2>/dev/null
exit $fail
INSIDE

fail=0
x_sound_run 640x480 "$work/status" bash "$work/inside.sh" "$qm7" "$data" "$work" "$@" || fail=1
echo "-- qm7's standard error:"
cat "$work/stderr" 2>/dev/null
if [ "$fail" != 0 ]; then
  echo "-- qm7's standard output:"
  cat "$work/stdout" 2>/dev/null
fi

progress=$(music_progress "$work/stderr" "$work/reference.tsv" $fps) ||
  { echo "FAIL: no QM7_STATS lines"; exit 1; }
read -r order row played expected <<<"$progress"
echo "music at order $order, row $row after $played s of playing; the reference reaches it at $expected s"
if [ "$expected" = never ] || ! awk -v p="$played" -v e="$expected" 'BEGIN { d = p - e; exit !(d < 5 && d > -3) }'; then
  echo "FAIL: the music did not keep its position through the focus changes"; fail=1
fi
exit $fail
