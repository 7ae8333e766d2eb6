#!/usr/bin/env bash
# wine_cost.sh WINDOWS_BUILD NATIVE_BUILD [ROUNDS] — what the demo costs on
# this machine, the native program beside the Windows one under Wine, in one
# X session at 1920x1080 with openbox and one sound server, the paths taken
# in turn, round after round (so a machine that gets busier or quieter
# meanwhile weighs on all of them alike):
#   native     qm7 (SDL, its CPU path here, PulseAudio)
#   auto       qm7.exe as a user starts it: the stand-in full screen with the
#              presenter it chooses
#   gdi        the stand-in, QM7_PRESENT=gdi
#   gpu        the stand-in, QM7_PRESENT=gpu (OpenGL drawn by the processor
#              here: llvmpipe, in the program's own threads)
#   real       qm7.exe in a 640x480 Wine virtual desktop: the real 320x240 mode
#              through DirectDraw
# Each run: 8 s to settle, then 10 s measured. Prints one line per run: CPU
# in % of one core of the program (all threads), its threads grouped by name
# (/proc/PID/task/*/comm) and the X server; then the present
# intervals the program reports (QM7_STATS). Ends with the median (the lower
# middle for an even count) of each
# path over the rounds, and the load average before and after.
# Uses a Wine prefix of its own (QM7_COST_PREFIX, default
# ~/.cache/qm7/wine-prefix-cost): switching the virtual desktop restarts its
# wineserver, which must not end anyone else's programs.
set -euo pipefail
win=$(cd "$1" && pwd)
native=$(cd "$2" && pwd)
rounds=${3:-3}
paths=${QM7_COST_PATHS:-native auto gdi gpu real}
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d /tmp/qm7-cost.XXXXXX)
mkdir -p "$work/app"
(cd "$work/app" && unzip -q "$win/qm7-windows.zip")
cp "$win/tests/windows/qm7-winprobe.exe" "$work/app/"

export WINEPREFIX=${QM7_COST_PREFIX:-$HOME/.cache/qm7/wine-prefix-cost}
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
source "$root/tests/support/x_session.sh"
source "$root/tests/support/sound_server.sh"
demo=""
cleanup() {
  [ -z "$demo" ] || kill "$demo" 2>/dev/null || true
  wineserver -k 2>/dev/null || true
  sound_stop
  x_stop
  rm -rf "$work"
}
trap cleanup EXIT
x_start 1920x1080 openbox || exit 1
sound_start || exit 1
source "$root/tests/windows/wine_prefix.sh"
wine_prefix_ready
desktop=""
set_desktop() {  # on | off, only when it changes
  [ "$desktop" = "$1" ] && return 0
  wine_desktop "$1"
  desktop=$1
  # A wineserver for the next runs, started before they are measured.
  wine qm7-winprobe.exe clock 0 >/dev/null 2>&1 || true
}

ticks=$(getconf CLK_TCK)
# utime + stime in clock ticks: of one task, or (no TID) of the process.
task_ticks() { awk '{ print $14 + $15 }' "$1/stat" 2>/dev/null || echo 0; }
# "NAME TICKS" per task of PID, summed over tasks of the same name.
thread_ticks() {
  local t
  for t in /proc/"$1"/task/*; do
    printf '%s %s\n' "$(tr ' ' _ <"$t/comm" 2>/dev/null || echo gone)" "$(task_ticks "$t")"
  done | awk '{ s[$1] += $2 } END { for (n in s) print n, s[n] }' | sort
}

measure() {  # PATH ROUND
  local path=$1 log="$work/$1-$2.txt" env=(QM7_STATS=1) cmd
  case $path in
    native) cmd=("$native/host/qm7" --data "$native/data") ;;
    auto) set_desktop off; cmd=(wine qm7.exe) ;;
    gdi|gpu) set_desktop off; env+=(QM7_PRESENT=$path); cmd=(wine qm7.exe) ;;
    real) set_desktop on; cmd=(wine qm7.exe) ;;
  esac
  (cd "$work/app" && exec env "${env[@]}" "${cmd[@]}") >/dev/null 2>"$log" &
  demo=$!
  sleep 8
  kill -0 "$demo" 2>/dev/null || { echo "cost: $path ended early: $(tail -3 "$log")" >&2; return 1; }
  local x0 s0 x1 s1
  thread_ticks "$demo" >"$work/t0"
  x0=$(task_ticks "/proc/$X_SESSION_SERVER")
  s0=$(date +%s.%N)
  sleep 10
  thread_ticks "$demo" >"$work/t1"
  x1=$(task_ticks "/proc/$X_SESSION_SERVER")
  s1=$(date +%s.%N)
  if [ "$path" = native ]; then
    kill -TERM "$demo"
  else
    (cd "$work/app" && wine qm7-winprobe.exe escape 5 >/dev/null 2>&1) || kill -TERM "$demo"
  fi
  "$root/tests/support/await_exit.sh" "$demo" 10 >/dev/null 2>&1 || kill -KILL "$demo" 2>/dev/null || true
  wait "$demo" 2>/dev/null || true
  demo=""
  local seconds
  seconds=$(awk -v a="$s0" -v b="$s1" 'BEGIN { print b - a }')
  join -a 2 -e 0 -o 2.1,1.2,2.2 "$work/t0" "$work/t1" |
    awk -v hz="$ticks" -v s="$seconds" -v p="$path" -v r="$2" -v x=$((x1 - x0)) '
      { pct = 100 * ($3 - $2) / hz / s; total += pct; if (pct >= 0.5) parts = parts sprintf(" %s %.1f", $1, pct) }
      END { printf "%-6s round %d: program %5.1f %% (%s ); X server %.1f %%\n",
                   p, r, total, parts, 100 * x / hz / s }' | tee -a "$work/results"
  local shown intervals
  shown=$(sed -n 's/^qm7: presentation //p' "$log" | head -1)
  intervals=$(sed -n 's/^qm7: present intervals: //p' "$log" | head -1)
  echo "         presentation: ${shown:-?}; intervals: ${intervals:-not reported}"
}

echo "cost: load before $(cut -d' ' -f1-3 /proc/loadavg); $(nproc) cores"
for round in $(seq "$rounds"); do
  for path in $paths; do measure "$path" "$round"; done
done
echo "cost: load after $(cut -d' ' -f1-3 /proc/loadavg)"
echo "cost: median CPU of the program over $rounds rounds (% of one core):"
for path in $paths; do
  awk -v p="$path" '$1 == p { print $5 }' "$work/results" | sort -n |
    awk -v p="$path" '{ v[NR] = $1 } END { if (NR) printf "  %-6s %5.1f  (%s)\n", p, v[int((NR + 1) / 2)], NR " runs" }'
done
