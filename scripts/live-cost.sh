#!/usr/bin/env bash
# live-cost.sh — what the live demo costs on this machine: CPU of the whole
# qm7 process (all threads), resident memory and the time to the first
# present, on a virtual X server of a given size, as a new user would run it.
#
# Usage: scripts/live-cost.sh [options]
#   --build DIR       build folder holding host/qm7 and data/ (build/release)
#   --size WxH        screen size of the virtual X server (1280x1024)
#   --no-wm           no window manager (default: openbox when installed)
#   --warmup S        seconds before measuring (5)
#   --seconds S       seconds measured (10)
#   --runs N          repeat the whole measurement N times (1)
#   --favour          run the X server, window manager and qm7 at nice -10
#                     (root only): on a busy machine this comes closer to
#                     what a quiet one shows, the first present above all
#   any QM7_PRESENT / SDL_* variables in the environment are passed on.
#
# Prints one line per run: CPU % of one core over the measured seconds, the
# peak and final resident memory, and the first-present time that qm7 reports
# with QM7_STATS. Sound goes to SDL's dummy driver. Needs Xvfb (and openbox);
# the X server picks a free display number itself (tests/support/x_session.sh).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$root/build/release"
size=1280x1024
wm=openbox
warmup=5
seconds=10
runs=1
nice=()
while [ $# -gt 0 ]; do
  case "$1" in
    --build) build=$(cd "$2" && pwd); shift 2 ;;
    --size) size=$2; shift 2 ;;
    --no-wm) wm=""; shift ;;
    --warmup) warmup=$2; shift 2 ;;
    --seconds) seconds=$2; shift 2 ;;
    --runs) runs=$2; shift 2 ;;
    --favour) nice=(nice -n -10); shift ;;
    -h|--help) sed -n '2,21p' "$0"; exit 0 ;;
    *) echo "live-cost: unknown option $1" >&2; exit 2 ;;
  esac
done
command -v Xvfb >/dev/null || { echo "live-cost: Xvfb is not installed (apt-get install xvfb)" >&2; exit 1; }
[ -x "$build/host/qm7" ] || { echo "live-cost: $build/host/qm7 is not built" >&2; exit 1; }
if [ -n "$wm" ] && ! command -v "$wm" >/dev/null; then
  echo "live-cost: $wm is not installed; measuring without a window manager" >&2
  wm=""
fi

source "$root/tests/support/x_session.sh"
trap x_stop EXIT
# The server answers once started; then let it settle: its own start-up is
# not the demo's.
x_start "$size" || exit 1
[ ${#nice[@]} -eq 0 ] || renice -n -10 -p "$X_SESSION_SERVER" >/dev/null
sleep 1
if [ -n "$wm" ]; then
  x_wm "$wm"
  [ ${#nice[@]} -eq 0 ] || renice -n -10 -p "$X_SESSION_WM" >/dev/null
  sleep 0.5
fi

ticks=$(getconf CLK_TCK)
# utime + stime of the process, all threads, in clock ticks.
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
status_kb() { awk -v k="$2:" '$1 == k { print $2 }' "/proc/$1/status"; }

for run in $(seq "$runs"); do
  log=$(mktemp)
  (cd "$build/data" && exec "${nice[@]}" env SDL_AUDIODRIVER=dummy QM7_STATS=1 "$build/host/qm7") >/dev/null 2>"$log" &
  qm7=$!
  sleep "$warmup"
  if ! kill -0 "$qm7" 2>/dev/null; then
    echo "live-cost: qm7 ended early:" >&2
    cat "$log" >&2
    exit 1
  fi
  t0=$(cpu_ticks "$qm7")
  s0=$(date +%s.%N)
  sleep "$seconds"
  t1=$(cpu_ticks "$qm7")
  s1=$(date +%s.%N)
  rss=$(status_kb "$qm7" VmRSS)
  hwm=$(status_kb "$qm7" VmHWM)
  threads=$(status_kb "$qm7" Threads)
  kill -TERM "$qm7"
  for _ in $(seq 50); do kill -0 "$qm7" 2>/dev/null || break; sleep 0.1; done
  kill -KILL "$qm7" 2>/dev/null || true
  wait "$qm7" || true
  first=$(qm7_stat first_present "$log")
  rm -f "$log"
  awk -v t="$((t1 - t0))" -v hz="$ticks" -v s0="$s0" -v s1="$s1" -v rss="$rss" -v hwm="$hwm" \
      -v first="${first:-?}" -v size="$size" -v wm="${wm:-none}" -v th="$threads" \
      -v present="${QM7_PRESENT:-auto}" -v load="$(cut -d' ' -f1-3 /proc/loadavg)" \
      'BEGIN { printf "%s wm=%s present=%s: CPU %.1f %% of a core, RSS %.1f MB (peak %.1f MB), %d threads, first present %s ms (load %s)\n",
               size, wm, present, 100 * t / hz / (s1 - s0), rss / 1024, hwm / 1024, th, first, load }'
done
