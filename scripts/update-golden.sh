#!/usr/bin/env bash
# update-golden.sh [BUILD_DIR [OUT_DIR]] — remakes the golden full-run traces
# (each run of tests/golden/runs.txt) from the build's qm7-capture and data
# (default build/release) into OUT_DIR (default tests/golden).
# Only for a deliberate change of pictures or timing: commit the new traces
# together with the change and say in the message why the frames changed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/release}
out=${2:-$root/tests/golden}
capture=$build/tools/capture/qm7-capture
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mapfile -t runs < <(python3 "$root/tests/support/trace_compare.py" runs)
[ "${#runs[@]}" -gt 0 ] || { echo "update-golden: no runs read from tests/golden/runs.txt" >&2; exit 1; }
for run in "${runs[@]}"; do
  read -r name args <<<"$run"
  # shellcheck disable=SC2086  # the run's arguments, split at spaces
  "$capture" --data "$build/data" $args --trace "$tmp/$name.trace" >/dev/null
  gzip -9n <"$tmp/$name.trace" >"$out/$name.trace.gz"
done
echo "golden traces remade from $capture"
