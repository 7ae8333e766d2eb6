#!/usr/bin/env bash
# await_exit.sh PID SECONDS — waits for a program told to end (Escape) to do
# so. Exits 0 once PID is gone; after SECONDS it says so, kills PID and exits
# 1. The caller then collects the exit status with `wait PID`.
# Used by the X-based tests after they press Escape.
pid=$1 seconds=$2
for _ in $(seq $((seconds * 10))); do
  kill -0 "$pid" 2>/dev/null || exit 0
  sleep 0.1
done
kill -0 "$pid" 2>/dev/null || exit 0
echo "FAIL: qm7 still running $seconds s after Escape"
kill -9 "$pid"
exit 1
