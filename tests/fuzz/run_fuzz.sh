#!/usr/bin/env bash
# run_fuzz.sh TARGET SEEDER NAME CORPUS_ROOT SECONDS [PACK]
# Seeds the corpus (the real pack when given, plus made-up packs and streams)
# and runs one fuzz target for SECONDS. Fails on any crash, leak or
# sanitizer report; prints the executions reached.
set -euo pipefail
target=$1 seeder=$2 name=$3 root=$4 seconds=$5 pack=${6:-}
corpus="$root/$name"
mkdir -p "$corpus" "$root/artifacts"
"$seeder" "$name" "$corpus" "$pack"
log=$(mktemp)
trap 'rm -f "$log"' EXIT
if ! "$target" "$corpus" -max_total_time="$seconds" -max_len=262144 -rss_limit_mb=2048 \
     -timeout=10 -print_final_stats=1 -artifact_prefix="$root/artifacts/$name-" >"$log" 2>&1; then
  tail -n 60 "$log"
  exit 1
fi
grep -E '^stat::number_of_executed_units|^Done ' "$log" || true
