#!/usr/bin/env bash
# virtual_x.sh WIDTHxHEIGHT COMMAND [ARG...] — runs COMMAND on a virtual X
# server of its own (Xvfb, 24-bit) and exits with COMMAND's status.
#
# Xvfb picks a free display number itself (-displayfd) and says it once it
# accepts connections, so tests started together never pick the same number
# (xvfb-run -a guesses one from lock files and starts over when Xvfb loses
# the race for it). The server
# stops when COMMAND ends, whatever happened. Exits 77 (skipped) without Xvfb,
# 1 with Xvfb's own log when the server does not start within 60 s.
set -uo pipefail
size=$1
shift
command -v Xvfb >/dev/null 2>&1 || { echo "Xvfb not found: skipping"; exit 77; }
log=$(mktemp)
number=$(mktemp)
Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$number" >"$log" 2>&1 &
server=$!
stop() {
  kill "$server" 2>/dev/null
  wait "$server" 2>/dev/null
  rm -f "$log" "$number"
}
trap stop EXIT
for _ in $(seq 600); do
  [ -s "$number" ] && break
  kill -0 "$server" 2>/dev/null || break
  sleep 0.1
done
display=$(tr -dc 0-9 <"$number")
if [ -z "$display" ]; then
  echo "FAIL: Xvfb did not start; its log:"
  cat "$log"
  exit 1
fi
DISPLAY=:$display "$@"
