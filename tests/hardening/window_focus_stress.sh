#!/usr/bin/env bash
# window_focus_stress.sh QM7 QM7_CAPTURE DATA_DIR [QM7 ARGUMENTS...] — the
# real demo (full screen, or with --window in a window) on a virtual X server,
# playing into a sound server of its own, loses and regains the keyboard
# focus to a second small window once for 10 s or more over the end of the
# first scene (26 s into the music), then four times briefly, then gets
# Escape.
# Checks:
#   - while inactive nothing is drawn (two screen grabs 1.8 s apart match,
#     10 s in the long round);
#   - after each return drawing resumes (two grabs 0.5 s apart differ);
#   - exit status 0 within 5 s of Escape;
#   - the timeline caught up after the focus losses: the scene at the end
#     (QM7_STATS) is the one a frame-exact capture run shows at the music
#     position reached (or, at a scene end, the one before). Had the long
#     round's scene end been missed, the lens warp would still run. The
#     script says which stretch of the music the long round hid (from the
#     first main-loop frame, when the music starts), and whether that held
#     the scene end, which a very busy machine can delay past it;
#   - the music kept playing through the pauses: the position it reports at
#     the end (QM7_STATS) is where a frame-exact capture run is after the
#     same playing time: at most 5 s behind and 3 s ahead. The pauses, 20 s
#     together, would put a stopped music that far behind, a restarted one
#     further. The sound server's null sink takes the music at
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
launched=$(date +%s.%N)
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
since_launch() { awk -v t0="$launched" -v now="$(date +%s.%N)" 'BEGIN { printf "%.2f", now - t0 }'; }
sleep 1
fail=0
for round in long 1 2 3 4; do
  hold=1.8
  if [ "$round" = long ]; then
    # From 19 s after the launch until 30 s at least, and 10 s at least.
    sleep "$(awk -v t="$(since_launch)" 'BEGIN { print (t < 19 ? 19 - t : 0) }')"
    away=$(since_launch)
  fi
  xdotool windowfocus --sync "$other"
  sleep 0.5
  a=$(grab)
  [ "$round" = long ] &&
    hold=$(awk -v t="$(since_launch)" 'BEGIN { h = 30 - t; print (h > 10 ? h : 10) }')
  sleep "$hold"; b=$(grab)
  if [ "$a" != "$b" ]; then echo "FAIL: round $round: the picture changed while inactive"; fail=1; fi
  xdotool windowfocus --sync "$demo"
  [ "$round" = long ] && echo "$away $(since_launch)" >"$work/long_round"
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
if read -r away back <"$work/long_round" 2>/dev/null; then
  # The music starts just before the first main-loop frame.
  first=$(qm7_stat first_loop "$work/stderr")
  scene_end=$(awk -F'\t' -v fps=$fps 'NR > 1 && $2 >= 6 { print $1 / fps; exit }' "$work/reference.tsv")
  awk -v a="$away" -v b="$back" -v f="$first" -v e="$scene_end" 'BEGIN {
    a -= f / 1000; b -= f / 1000
    printf "the long focus loss hid the music from %.1f s to %.1f s; the first scene ends at %.1f s: %s\n",
      a, b, e, (a < e && e < b) ? "hidden" : "NOT hidden (a busy machine?)" }'
fi
scene=$(qm7_stat scene_end "$work/stderr")
read -r before at <<<"$(awk -F'\t' -v o="$order" -v r="$row" \
  'NR > 1 && ($2 > o || ($2 == o && $3 >= r)) { print prev, $4; exit } { prev = $4 }' "$work/reference.tsv")"
echo "scene $scene at the end; the reference shows scene ${at:-?} there (${before:-?} just before)"
if [ "$scene" != "${at:-}" ] && [ "$scene" != "${before:-}" ]; then
  echo "FAIL: the timeline did not catch up with the music after the focus came back"; fail=1
fi
exit $fail
