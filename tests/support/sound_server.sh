#!/usr/bin/env bash
# sound_server.sh — a PulseAudio server of its own for the tests that play or
# record real sound.
#
# As a command:
#   sound_server.sh COMMAND [ARG...]
# runs COMMAND beside the server and exits with COMMAND's status.
#
# Sourced (source tests/support/sound_server.sh), it gives:
#   sound_start   starts the server and exports PULSE_SERVER and
#                 XDG_RUNTIME_DIR pointing at it
#   sound_stop    stops it and removes its folder (call it on exit)
#
# The server lives in a fresh runtime folder (also its HOME, for its cookie
# and state), has one null sink "qm7" at 44.1 kHz stereo as its default (its
# monitor source "qm7.monitor" records what is played) and no other module;
# clients need no cookie. Exits 77 (skipped) without pulseaudio or pactl;
# 1 (sound_start: returns 1) with its log when it does not start.

source "$(dirname "${BASH_SOURCE[0]}")/preflight.sh"

sound_start() {
  local _
  need_tools pulseaudio pactl
  SOUND_SERVER_DIR=$(mktemp -d /tmp/qm7-pulse.XXXXXX)
  mkdir -p "$SOUND_SERVER_DIR/home"
  HOME="$SOUND_SERVER_DIR/home" XDG_RUNTIME_DIR="$SOUND_SERVER_DIR" pulseaudio -n --daemonize=no \
    --exit-idle-time=-1 --use-pid-file=no --log-target=stderr --log-level=error \
    --load="module-null-sink sink_name=qm7 rate=44100 channels=2" \
    --load="module-native-protocol-unix auth-anonymous=1 socket=$SOUND_SERVER_DIR/native" \
    >"$SOUND_SERVER_DIR/log" 2>&1 &
  SOUND_SERVER_PID=$!
  export PULSE_SERVER="unix:$SOUND_SERVER_DIR/native" XDG_RUNTIME_DIR="$SOUND_SERVER_DIR"
  for _ in $(seq 300); do
    pactl info >/dev/null 2>&1 && return 0
    kill -0 "$SOUND_SERVER_PID" 2>/dev/null || break
    sleep 0.1
  done
  pactl info >/dev/null 2>&1 && return 0
  echo "FAIL: the sound server did not start; its log:"
  cat "$SOUND_SERVER_DIR/log"
  sound_stop
  return 1
}

sound_stop() {
  if [ -n "${SOUND_SERVER_PID:-}" ]; then
    kill "$SOUND_SERVER_PID" 2>/dev/null || true
    wait "$SOUND_SERVER_PID" 2>/dev/null || true
  fi
  [ -z "${SOUND_SERVER_DIR:-}" ] || rm -rf "$SOUND_SERVER_DIR"
  SOUND_SERVER_PID="" SOUND_SERVER_DIR=""
  return 0
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  set -uo pipefail
  trap sound_stop EXIT
  sound_start || exit 1
  "$@"
fi
