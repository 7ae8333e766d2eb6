#!/usr/bin/env bash
# update-golden.sh [BUILD_DIR] — remakes the golden full-run traces in
# tests/golden from the build's qm7-capture and data (default build/release).
# Only for a deliberate change of pictures or timing: commit the new traces
# together with the change and say in the message why the frames changed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/release}
capture=$build/tools/capture/qm7-capture
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
"$capture" --data "$build/data" --trace "$tmp/steady.trace" >/dev/null
"$capture" --data "$build/data" --jitter 3 --pause 30:2 --trace "$tmp/jitter.trace" >/dev/null
gzip -9n <"$tmp/steady.trace" >"$root/tests/golden/steady-60fps.trace.gz"
gzip -9n <"$tmp/jitter.trace" >"$root/tests/golden/jitter3-pause30.trace.gz"
echo "golden traces remade from $capture"
