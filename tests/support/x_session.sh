#!/usr/bin/env bash
# x_session.sh — a virtual X server of its own for the tests and scripts that
# run the real program, and what they do on it.
#
# As a command:
#   x_session.sh WIDTHxHEIGHT WM COMMAND [ARG...]
# runs COMMAND on a server of that size with the window manager WM
# ("openbox") or none ("none") and exits with COMMAND's status; 77 (skipped)
# without Xvfb or WM, 1 with Xvfb's log when the server does not start.
#
# Sourced (source tests/support/x_session.sh), it gives:
#   x_start WIDTHxHEIGHT [WM]  starts the server (and WM), exports DISPLAY;
#                              exits 77 without Xvfb or WM, returns 1 with
#                              Xvfb's log when it does not start
#   x_stop                     stops what x_start started (call it on exit)
#   x_wm WM                    starts WM, returns once it manages windows
#   x_window PID [NAME]        prints the X window of process PID named NAME
#                              (default the demo's title), once it has stayed
#                              the same for a second; on failure says why,
#                              kills PID and returns 1
#   x_grab FILE [W H [X Y]]    one screen grab of the area (default: the
#                              whole screen): FILE.png as PNG, anything else
#                              (- for standard output) one grey byte a pixel
#   x_windows                  the server's named windows, for failure reports
#   x_geometry WINDOW          "X Y W H" of WINDOW's inside on the screen
#   x_sound_run WIDTHxHEIGHT STATUS_FILE COMMAND [ARG...]
#                              runs COMMAND on a server of its own (no WM)
#                              beside a sound server (sound_server.sh); returns
#                              1, saying why, when COMMAND fails or the exit
#                              status it saved in STATUS_FILE is not 0
#   qm7_stat WHAT FILE         a figure from qm7's QM7_STATS lines in FILE
#   music_progress STDERR REFERENCE_TRACE FPS   how far a live qm7's music got
# The functions work in the command's children too: they read DISPLAY and
# X_SESSION_SIZE, which both ways export.
#
# Xvfb picks a free display number itself (-displayfd) and says it once it
# accepts connections, so servers started together never pick the same number
# (xvfb-run -a guesses one from lock files and starts over when Xvfb loses
# the race for it). The root window is black (-br), so a grab shows only what
# was drawn.

source "$(dirname "${BASH_SOURCE[0]}")/preflight.sh"

x_start() {  # WIDTHxHEIGHT [WM]
  local size=$1 wm=${2:-none}
  # shellcheck disable=SC2046
  need_tools Xvfb $([ "$wm" = none ] || echo "$wm")
  X_SESSION_DIR=$(mktemp -d /tmp/qm7-x.XXXXXX)
  Xvfb -displayfd 3 -screen 0 "${size}x24" -br -nolisten tcp 3>"$X_SESSION_DIR/display" \
    >"$X_SESSION_DIR/log" 2>&1 &
  X_SESSION_SERVER=$!
  X_SESSION_WM=""
  local _ display=""
  for _ in $(seq 600); do
    [ -s "$X_SESSION_DIR/display" ] && break
    kill -0 "$X_SESSION_SERVER" 2>/dev/null || break
    sleep 0.1
  done
  display=$(tr -dc 0-9 <"$X_SESSION_DIR/display")
  if [ -z "$display" ]; then
    echo "FAIL: Xvfb did not start; its log:"
    cat "$X_SESSION_DIR/log"
    x_stop
    return 1
  fi
  export DISPLAY=:$display X_SESSION_SIZE=$size
  [ "$wm" = none ] || x_wm "$wm"
}

x_wm() {  # WM
  "$1" >/dev/null 2>&1 &
  X_SESSION_WM=$!
  # A window mapped while the window manager is still starting may never be mapped.
  local _
  for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && return 0
    sleep 0.1
  done
}

x_stop() {
  local p
  for p in ${X_SESSION_WM:-} ${X_SESSION_SERVER:-}; do
    kill "$p" 2>/dev/null || true
    wait "$p" 2>/dev/null || true
  done
  [ -z "${X_SESSION_DIR:-}" ] || rm -rf "$X_SESSION_DIR"
  X_SESSION_WM="" X_SESSION_SERVER="" X_SESSION_DIR=""
  return 0
}

x_windows() { xwininfo -root -tree 2>&1 | grep -E '^ +0x' | grep -v 'has no name' || true; }

x_geometry() {  # WINDOW
  xwininfo -id "$1" | awk -F: '
    /Absolute upper-left X/ { x = $2 } /Absolute upper-left Y/ { y = $2 }
    /^ *Width/ { w = $2 } /^ *Height/ { h = $2 }
    END { printf "%d %d %d %d\n", x, y, w, h }'
}

# The window is the newest of the process's visible windows with that name
# (X gives a client's windows rising ids): the display set-up may replace
# the first window it opens, so it counts once it has been the one for a
# second. Searching by name alone could find another program's window.
x_window() {  # PID [NAME]
  local pid=$1 name=${2:-^GLIDER TEST PROGRAM\$} newest seen="" steady=0 _
  for _ in $(seq 360); do
    if ! kill -0 "$pid" 2>/dev/null; then
      echo "FAIL: the program ended before its window appeared" >&2
      return 1
    fi
    newest=$(xdotool search --all --onlyvisible --pid "$pid" --name "$name" 2>/dev/null | sort -n | tail -1)
    if [ -n "$newest" ] && [ "$newest" = "$seen" ]; then
      steady=$((steady + 1))
      [ "$steady" -ge 4 ] && { echo "$newest"; return 0; }
    else
      steady=0
    fi
    seen=$newest
    sleep 0.25
  done
  echo "FAIL: the demo window never appeared; the X server's windows:" >&2
  x_windows >&2
  kill -9 "$pid" 2>/dev/null
  return 1
}

x_grab() {  # FILE [W H [X Y]]
  local file=$1 size=${X_SESSION_SIZE:-}
  [ $# -lt 3 ] || size="$2x$3"
  local format=(-f rawvideo -pix_fmt gray)
  [[ "$file" != *.png ]] || format=()
  ffmpeg -loglevel error -f x11grab -video_size "$size" -i "$DISPLAY+${4:-0},${5:-0}" -frames:v 1 \
    "${format[@]}" -y "$file"
}

# QM7_STATS lines (qm7's standard error at exit):
#   loop_frames    frames presented by the main loop
#   first_present  ms from start to the first present
#   first_loop     ms from start to the first main-loop frame
#   music_end      "ORDER ROW MS": the music's position when the program ended
#   audio_driver   SDL's audio driver
#   heard_frame    the music frame believed heard when the device closed
#   heard_ns       the monotonic time of that belief
#   presentation   how the picture was presented (the rest of that line)
# Prints nothing when FILE lacks the line.
qm7_stat() {  # WHAT FILE
  local pattern
  case $1 in
    loop_frames) pattern='s/.*(\([0-9]*\) by the main loop).*/\1/p' ;;
    first_present) pattern='s/.*first present \([0-9.]*\) ms.*/\1/p' ;;
    first_loop) pattern='s/.*first main-loop frame \([0-9.]*\) ms after start.*/\1/p' ;;
    music_end)
      pattern='s/^qm7: music at order \([0-9]*\), row \([0-9]*\), scene [0-9]* when the program ended \([0-9.]*\) ms.*/\1 \2 \3/p' ;;
    scene_end) pattern='s/^qm7: music at order [0-9]*, row [0-9]*, scene \([0-9]*\) when.*/\1/p' ;;
    audio_driver) pattern='s/^qm7: audio driver \([^,]*\),.*/\1/p' ;;
    heard_frame) pattern='s/^qm7: audio driver .*music heard to frame \([0-9]*\) .*/\1/p' ;;
    heard_ns) pattern='s/^qm7: audio driver .* at \([0-9]*\) ns when the device closed.*/\1/p' ;;
    presentation) pattern='s/^qm7: presentation \(.*\)/\1/p' ;;
    *) echo "qm7_stat: no figure named $1" >&2; return 2 ;;
  esac
  sed -n "$pattern" "$2" 2>/dev/null | head -1 || true
}

# Prints "ORDER ROW PLAYED EXPECTED": where the music stood when qm7 ended,
# the seconds it had been playing since the first main-loop frame, and the
# seconds an offline run's trace (qm7-capture --fps FPS --trace
# REFERENCE_TRACE) takes to reach that position ("never" when it does not).
# Returns 1 with a message when STDERR has no QM7_STATS lines.
X_SESSION_SUPPORT=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
x_sound_run() {  # WIDTHxHEIGHT STATUS_FILE COMMAND [ARG...]
  local size=$1 status_file=$2 failed=0 status
  shift 2
  "$X_SESSION_SUPPORT/x_session.sh" "$size" none "$X_SESSION_SUPPORT/sound_server.sh" "$@" || failed=1
  status=$(cat "$status_file" 2>/dev/null || echo none)
  if [ "$status" != 0 ]; then echo "FAIL: exit status $status"; failed=1; fi
  return $failed
}

music_progress() {  # STDERR REFERENCE_TRACE FPS
  local start_ms order row end_ms expected played
  start_ms=$(qm7_stat first_loop "$1")
  read -r order row end_ms <<<"$(qm7_stat music_end "$1")"
  if [ -z "$start_ms" ] || [ -z "${end_ms:-}" ]; then
    echo "no QM7_STATS lines in $1" >&2
    return 1
  fi
  expected=$(awk -F'\t' -v o="$order" -v r="$row" -v fps="$3" \
    'NR > 1 && ($2 > o || ($2 == o && $3 >= r)) { print $1 / fps; exit }' "$2")
  played=$(awk -v a="$start_ms" -v b="$end_ms" 'BEGIN { print (b - a) / 1000 }')
  echo "$order $row $played ${expected:-never}"
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  set -uo pipefail
  size=$1 wm=$2
  shift 2
  trap x_stop EXIT
  x_start "$size" "$wm" || exit 1
  "$@"
fi
