#!/usr/bin/env bash
# sound_server.sh COMMAND [ARG...] — runs COMMAND beside a PulseAudio server of
# its own and exits with COMMAND's status.
#
# The server lives in a fresh runtime folder (also its HOME, for its cookie
# and state), has one null sink "qm7" at 44.1 kHz stereo as its default (its
# monitor source "qm7.monitor" records what is played) and no other module.
# COMMAND gets PULSE_SERVER and XDG_RUNTIME_DIR pointing at it. The server is
# stopped and the folder removed when COMMAND ends, whatever happened.
# Exits 77 (skipped) without pulseaudio, 1 with its log when it does not start.
set -uo pipefail
command -v pulseaudio >/dev/null 2>&1 || { echo "pulseaudio not found: skipping"; exit 77; }
runtime=$(mktemp -d)
mkdir -p "$runtime/home"
HOME="$runtime/home" XDG_RUNTIME_DIR="$runtime" pulseaudio -n --daemonize=no --exit-idle-time=-1 \
  --use-pid-file=no --log-target=stderr --log-level=error \
  --load="module-null-sink sink_name=qm7 rate=44100 channels=2" \
  --load="module-native-protocol-unix auth-anonymous=1 socket=$runtime/native" >"$runtime/log" 2>&1 &
server=$!
stop() {
  kill "$server" 2>/dev/null
  wait "$server" 2>/dev/null
  rm -rf "$runtime"
}
trap stop EXIT
export PULSE_SERVER="unix:$runtime/native" XDG_RUNTIME_DIR="$runtime"
for _ in $(seq 300); do
  pactl info >/dev/null 2>&1 && break
  kill -0 "$server" 2>/dev/null || break
  sleep 0.1
done
if ! pactl info >/dev/null 2>&1; then
  echo "FAIL: the sound server did not start; its log:"
  cat "$runtime/log"
  exit 1
fi
"$@"
