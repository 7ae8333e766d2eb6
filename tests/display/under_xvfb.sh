#!/usr/bin/env bash
# under_xvfb.sh SIZE WM PROGRAM [ARGS...] — runs PROGRAM on a virtual X server
# of SIZE (e.g. 1280x1024), with the window manager WM started first and
# ready ("openbox"), or with none ("none"), through tests/virtual_x.sh (a
# server of its own). Exit 77 (skipped) when Xvfb or the window manager is
# not installed.
set -euo pipefail
size=$1 wm=$2
shift 2
here=$(cd "$(dirname "$0")" && pwd)
if [ "$wm" != none ] && ! command -v "$wm" >/dev/null; then
  echo "$wm not found: skipping"
  exit 77
fi
inside='
wm=$1; shift
if [ "$wm" != none ]; then
  "$wm" >/dev/null 2>&1 &
  wm_pid=$!
  # A window mapped while the window manager is still starting may never be mapped.
  for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
    sleep 0.1
  done
fi
"$@"
status=$?
[ -n "${wm_pid:-}" ] && kill "$wm_pid" 2>/dev/null
exit $status
'
exec "$here/../virtual_x.sh" "$size" bash -c "$inside" under_xvfb "$wm" "$@"
