#!/usr/bin/env bash
# compare_trace.sh CAPTURE DATA GOLDEN.trace.gz [capture options...]
# Runs a full capture with --trace and compares it with the golden trace.
# On a difference, prints the first lines that differ (pass, position, scene,
# event, ticks, frame hash) and fails.
set -euo pipefail
capture=$1 data=$2 golden=$3; shift 3
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
"$capture" --data "$data" "$@" --trace "$tmp/now.trace" >"$tmp/out" 2>&1 || {
  echo "qm7-capture failed:"; cat "$tmp/out"; exit 1; }
gzip -dc "$golden" >"$tmp/golden.trace"
if ! cmp -s "$tmp/golden.trace" "$tmp/now.trace"; then
  echo "trace differs from $(basename "$golden") (golden < > now):"
  diff "$tmp/golden.trace" "$tmp/now.trace" | head -20 || true
  echo "$(wc -l <"$tmp/now.trace") lines now, $(wc -l <"$tmp/golden.trace") golden"
  exit 1
fi
echo "identical to $(basename "$golden"): $(($(wc -l <"$tmp/now.trace") - 1)) frames"
