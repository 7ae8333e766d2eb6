#!/usr/bin/env bash
# run_wine_tests.sh WINDOWS_BUILD NATIVE_BUILD — the Windows build under Wine.
#
# WINDOWS_BUILD holds qm7-windows.zip and the probe (scripts/build-windows.sh);
# NATIVE_BUILD is the Linux build whose data and qm7-capture the zip's are
# compared with. Checks, in order:
#  1. trace: qm7-capture.exe's full steady 60 fps run against the golden
#     trace — the timeline (pass, order, row, scene, event, ticks) must agree
#     line by line; frame hashes are counted, and frames that differ are
#     dumped by both builds and must stay within +-2 per channel. The same
#     for the jittered run with a focus loss unless QM7_WINE_QUICK=1.
#  2. live: qm7.exe in a Wine virtual desktop on Xvfb with a PulseAudio null
#     sink: 320x240x32 set, the picture not black and moving, the recorded
#     sound not silent, Escape ends it with status 0.
#  3. empty folder: the message box names the missing file, status 1 after OK.
#  4. no sound server: "Can't initialize device", status 1 after OK.
#  5. no virtual desktop: Wine offers only the X screen's own size, so there
#     is no 320x240x32 mode to choose; the message box says so, status 1.
# Screenshots and the recording stay in WINDOWS_BUILD/wine-check/.
# Uses X display :151 and its own WINEPREFIX under ~/.cache/qm7.
set -euo pipefail
win=$(cd "$1" && pwd)
native=$(cd "$2" && pwd)
root=$(cd "$(dirname "$0")/../.." && pwd)
out="$win/wine-check"
rm -rf "$out"
mkdir -p "$out/app" "$out/empty"
(cd "$out/app" && unzip -q "$win/qm7-windows.zip")
cp "$win/tests/windows/qm7-winprobe.exe" "$out/app/"

cache=${QM7_CACHE:-$HOME/.cache/qm7}
export WINEPREFIX="$cache/wine-prefix-$(wine --version 2>/dev/null | cut -d" " -f1)"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
export DISPLAY=:151
pulse_dir=$(mktemp -d /tmp/qm7-wine-pulse.XXXXXX)
pids=()
cleanup() {
  local p
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wineserver -k 2>/dev/null || true
  rm -rf "$pulse_dir"
}
trap cleanup EXIT
fail() { echo "wine: FAIL: $*" >&2; exit 1; }

Xvfb "$DISPLAY" -screen 0 640x480x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

# A Wine virtual desktop lets the program change the display mode; set in
# the registry so that `wine qm7.exe` still returns the program's status.
if [ ! -f "$WINEPREFIX/.qm7-ready" ]; then
  echo "wine: preparing $WINEPREFIX (once)"
  wineboot -i >/dev/null 2>&1
  wineserver -w
  touch "$WINEPREFIX/.qm7-ready"
fi
set_desktop() {  # on | off; takes effect when the next Wine session starts
  wineserver -k 2>/dev/null || true
  wineserver -w
  if [ "$1" = on ]; then
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 640x480 /f >/dev/null 2>&1
  else
    wine reg delete 'HKCU\Software\Wine\Explorer' /v Desktop /f >/dev/null 2>&1 || true
  fi
  wineserver -w
}
set_desktop on
wwin() { winepath -w "$1" 2>/dev/null; }

# ---- 1. trace against the golden runs ------------------------------------
# Largest per-channel difference of two raw BGRA frames (the fourth byte is
# not shown and not compared).
max_channel_diff() {
  cmp -l "$1" "$2" | awk '($1 - 1) % 4 != 3 { d = strtonum("0" $2) - strtonum("0" $3); if (d < 0) d = -d; if (d > m) m = d } END { print m + 0 }'
}

trace_check() {
  local name=$1; shift
  local golden="$root/tests/golden/$name.trace.gz"
  local dir="$out/trace-$name"
  mkdir -p "$dir"
  gzip -dc "$golden" >"$dir/golden.trace"
  local start=$SECONDS
  (cd "$out/app" && wine qm7-capture.exe --data . "$@" --trace "$(wwin "$dir/wine.trace")" \
     >"$dir/out.txt" 2>&1) || { cat "$dir/out.txt"; fail "$name: qm7-capture.exe failed"; }
  local took=$((SECONDS - start))
  tr -d '\r' <"$dir/wine.trace" >"$dir/wine.tsv"
  # Everything but the hash must agree line by line.
  if ! cmp -s <(cut -f1-6 "$dir/golden.trace") <(cut -f1-6 "$dir/wine.tsv"); then
    diff <(cut -f1-6 "$dir/golden.trace") <(cut -f1-6 "$dir/wine.tsv") | head -10
    fail "$name: the timeline differs from the golden run"
  fi
  local frames same
  frames=$(($(wc -l <"$dir/golden.trace") - 1))
  same=$(paste "$dir/golden.trace" "$dir/wine.tsv" | awk -F'\t' 'NR > 1 && $7 == $14' | wc -l)
  echo "wine: $name: timeline identical over $frames frames; $same of $frames frame hashes identical ($(awk -v s="$same" -v f="$frames" 'BEGIN { printf "%.2f", 100 * s / f }')%), ${took} s"
  if [ "$same" -lt "$frames" ]; then
    # Dump up to 20 differing frames from both builds and measure them.
    local passes
    passes=$(paste "$dir/golden.trace" "$dir/wine.tsv" | awk -F'\t' 'NR > 1 && $7 != $14 { print $1 }' |
      awk 'NR == 1 || NR % int(('"$frames"' - '"$same"') / 20 + 1) == 0' | head -20 | paste -sd,)
    mkdir -p "$dir/linux" "$dir/windows"
    "$native/tools/capture/qm7-capture" --data "$native/data" "$@" --dump-frames "$passes" \
      --dump-dir "$dir/linux" >/dev/null 2>&1 || fail "$name: Linux dump failed"
    (cd "$out/app" && wine qm7-capture.exe --data . "$@" --dump-frames "$passes" \
       --dump-dir "$(wwin "$dir/windows")" >/dev/null 2>&1) || fail "$name: Windows dump failed"
    local worst=0 f d
    for f in "$dir"/linux/*.bgra; do
      d=$(max_channel_diff "$f" "$dir/windows/$(basename "$f")")
      [ "$d" -gt "$worst" ] && worst=$d
    done
    echo "wine: $name: passes $passes differ by at most $worst per channel"
    [ "$worst" -le 2 ] || fail "$name: a frame differs by $worst per channel (more than 2)"
  fi
}

trace_check steady-60fps
[ "${QM7_WINE_QUICK:-0}" = 1 ] || trace_check jitter3-pause30 --jitter 3 --pause 30:2

# ---- sound server with a null sink ---------------------------------------
export XDG_RUNTIME_DIR="$pulse_dir"
pulseaudio --daemonize=no --exit-idle-time=-1 --disallow-exit -n \
  --load="module-native-protocol-unix" \
  --load="module-null-sink sink_name=qm7null" >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
pactl set-default-sink qm7null

# ---- 2. live run -----------------------------------------------------------
parec -d qm7null.monitor --file-format=wav "$out/sound.wav" &
recorder=$!
pids+=($recorder)
(cd "$out/app" && exec wine qm7.exe) &
demo=$!
pids+=($demo)
mode=$(cd "$out/app" && wine qm7-winprobe.exe mode 60 | tr -d '\r') || fail "live: no demo window"
echo "wine: live: display $mode"
[ "$mode" = "mode 320x240x32" ] || fail "live: the display mode is $mode, not 320x240x32"
sleep 10
import -display "$DISPLAY" -window root "$out/shot-1.png"
sleep 3
import -display "$DISPLAY" -window root "$out/shot-2.png"
(cd "$out/app" && wine qm7-winprobe.exe escape 10 >/dev/null) || fail "live: Escape not sent"
status=0
wait "$demo" || status=$?
kill "$recorder" 2>/dev/null || true
wait "$recorder" 2>/dev/null || true
[ "$status" = 0 ] || fail "live: qm7.exe ended with status $status after Escape"
bright=$(convert "$out/shot-1.png" -colorspace Gray -format '%[fx:mean*255]' info:)
changed=$(compare -metric AE "$out/shot-1.png" "$out/shot-2.png" null: 2>&1 || true)
rms=$(sox "$out/sound.wav" -n stat 2>&1 | awk '/RMS +amplitude/ { print $3 }')
echo "wine: live: screen mean level $bright, $changed pixels changed in 3 s, sound RMS $rms, status $status"
awk -v b="$bright" 'BEGIN { exit !(b > 2) }' || fail "live: the screen is black"
[ "${changed%% *}" -gt 1000 ] 2>/dev/null || fail "live: the picture did not change"
awk -v r="$rms" 'BEGIN { exit !(r > 0.001) }' || fail "live: the recorded sound is silent"

# ---- 3. empty folder ---------------------------------------------------------
popup_check() {  # LABEL FOLDER EXPECTED: qm7.exe started in FOLDER (its copy there when it has one)
  local label=$1 folder=$2 expected=$3 exe="$out/app/qm7.exe"
  [ -f "$folder/qm7.exe" ] && exe="$folder/qm7.exe"
  (cd "$folder" && exec wine "$(wwin "$exe")") >"$out/$label.txt" 2>&1 &
  local demo=$!
  pids+=($demo)
  local seen
  seen=$(cd "$out/app" && wine qm7-winprobe.exe popup 60 | tr -d '\r') || fail "$label: no message box"
  local status=0
  wait "$demo" || status=$?
  echo "wine: $label: $seen; status $status"
  [[ "$seen" == *"$expected"* ]] || fail "$label: the message box does not say \"$expected\""
  [ "$status" = 1 ] || fail "$label: status $status, not 1"
}
# The data is looked for in the working folder, then beside the program: a
# copy of qm7.exe alone in an empty folder finds none.
cp "$out/app/qm7.exe" "$out/empty/"
popup_check empty-folder "$out/empty" "Can't load the data file brisk.bin"
rm "$out/empty/qm7.exe"
# Started from another folder, the program finds the data beside it.
(cd "$out/empty" && wine "$(wwin "$out/app/qm7-capture.exe")" --frames 20 --trace elsewhere.trace) \
  >"$out/elsewhere.txt" 2>&1 || fail "data beside the program: qm7-capture.exe failed from another folder ($(tail -1 "$out/elsewhere.txt"))"
[ "$(grep -c . "$out/empty/elsewhere.trace")" -ge 20 ] || fail "data beside the program: no trace"
rm "$out/empty/elsewhere.trace"
echo "wine: data beside the program: found from another working folder"

# ---- 4. no sound server ------------------------------------------------------
PULSE_SERVER=unix:/nonexistent popup_check no-sound "$out/app" "Can't initialize device"

# ---- 5. no virtual desktop: no 320x240 mode on offer -----------------------
set_desktop off
popup_check no-320x240-mode "$out/app" "The display offers no 320x240 mode with 32 bits per pixel"
set_desktop on
echo "wine: all checks passed"
