#!/usr/bin/env bash
# real_sound.sh QM7 QM7_CAPTURE SOUND_MATCH DATA_DIR — the real demo playing
# through SDL's normal audio path into a PulseAudio server of its own (a null
# sink, recorded from its monitor with parec), on a virtual X server, for
# about 20 s, then Escape. Checks:
#   - the recording is not silent and is the music: found in it by cross-
#     correlation with the offline render (qm7-capture --wav), with the same
#     10 ms envelope (correlation at least 0.95);
#   - where qm7 believed the music was being heard when its audio device
#     closed (QM7_STATS) against how far the recording shows it had been
#     played: the difference is how far the pictures, which follow that
#     belief, are from the sound. At most 12 ms either way (a 70 Hz frame is
#     14.3 ms). Silences where the server ran dry are counted and reported.
# On failure it prints qm7's standard error. Needs Xvfb, xdotool, pulseaudio
# and parec; exits 77 (skipped) without them.
set -euo pipefail
qm7=$1 capture=$2 match=$3 data=$4
here=$(cd "$(dirname "$0")" && pwd)
for tool in Xvfb xdotool pulseaudio parec pactl; do
  command -v "$tool" >/dev/null 2>&1 || { echo "$tool not found: skipping"; exit 77; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$capture" --data "$data" --escape 30 --wav "$work/reference.wav" >/dev/null

cat >"$work/inside.sh" <<'INSIDE'
#!/usr/bin/env bash
set -uo pipefail
qm7=$1 data=$2 work=$3
parec --device=qm7.monitor --rate=44100 --channels=2 --format=s16le --raw "$work/recording.raw" &
recorder=$!
sleep 1
cd "$data"
env -u SDL_AUDIODRIVER QM7_STATS=1 "$qm7" >"$work/stdout" 2>"$work/stderr" &
pid=$!
sleep 20
xdotool key Escape
for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$pid" 2>/dev/null; then
  echo "FAIL: qm7 still running 10 s after Escape"
  kill -9 "$pid"
fi
wait "$pid"
echo $? >"$work/status"
sleep 1
kill -INT "$recorder"
wait "$recorder"
INSIDE

fail=0
"$here/../../virtual_x.sh" 640x480 "$here/../../sound_server.sh" bash "$work/inside.sh" "$qm7" "$data" "$work" || fail=1
status=$(cat "$work/status" 2>/dev/null || echo none)
if [ "$status" != 0 ]; then echo "FAIL: exit status $status"; fail=1; fi
heard=$(sed -n 's/^qm7: audio driver .*music heard to frame \([0-9]*\) .*/\1/p' "$work/stderr")
driver=$(sed -n 's/^qm7: audio driver \([^,]*\),.*/\1/p' "$work/stderr")
if [ -z "$heard" ]; then echo "FAIL: qm7 did not say how far the music was heard"; fail=1; fi
if [ "$driver" != pulseaudio ]; then echo "FAIL: SDL played through '${driver:-nothing}', not the sound server"; fail=1; fi
if ! "$match" "$work/recording.raw" "$work/reference.wav" >"$work/match"; then
  echo "FAIL: the music was not found in the recording"; fail=1
fi
declare -A found=()
while read -r key value; do found[$key]=$value; done <"$work/match"
if [ -n "${found[heard]:-}" ] && [ -n "$heard" ]; then
  offset=$(awk -v b="$heard" -v h="${found[heard]}" 'BEGIN { printf "%.1f", (b - h) * 1000 / 44100 }')
  gaps_ms=$(awk -v g="${found[gaps]}" 'BEGIN { printf "%.0f", g * 1000 / 44100 }')
  echo "audio driver $driver: music at ${found[level]} dBFS, envelope correlation ${found[envelope]}," \
       "${found[exact]} sample-exact; ${found[pieces]} pieces, $gaps_ms ms of silence between them;" \
       "played to frame ${found[heard]}, qm7 believed $heard: offset $offset ms"
  if ! awk -v e="${found[envelope]}" 'BEGIN { exit !(e >= 0.95) }'; then
    echo "FAIL: the recording does not follow the music's envelope"; fail=1
  fi
  if ! awk -v l="${found[level]}" 'BEGIN { exit !(l > -40) }'; then
    echo "FAIL: the recorded music is nearly silent"; fail=1
  fi
  if ! awk -v o="$offset" 'BEGIN { exit !(o <= 12 && o >= -12) }'; then
    echo "FAIL: pictures and sound are $offset ms apart (more than 12 ms)"; fail=1
  fi
fi
if [ "$fail" != 0 ]; then
  echo "-- qm7's standard error:"
  cat "$work/stderr"
fi
exit $fail
