#!/usr/bin/env bash
# run_fuzz.sh TARGET SEEDER NAME CORPUS_ROOT SECONDS MAX_LEN [PACK]
# Seeds the corpus (the real pack when given, plus made-up packs and streams)
# and runs one fuzz target for SECONDS (0: no time limit) and, when
# QM7_FUZZ_RUNS is set, at most that many executions. The corpus kept in the repository
# (tests/fuzz/corpus/NAME, grown by long runs) is read as well; new inputs go
# to CORPUS_ROOT/NAME. Fails on any crash, leak or sanitizer report; prints
# the executions reached.
set -euo pipefail
target=$1 seeder=$2 name=$3 root=$4 seconds=$5 max_len=$6 pack=${7:-}
corpus="$root/$name"
kept="$(cd "$(dirname "$0")" && pwd)/corpus/$name"
mkdir -p "$corpus" "$root/artifacts"
"$seeder" "$name" "$corpus" "$pack"
dirs=("$corpus")
[ -d "$kept" ] && dirs+=("$kept")
limit=(-max_total_time="$seconds")
[ -z "${QM7_FUZZ_RUNS:-}" ] || limit+=(-runs="$QM7_FUZZ_RUNS")
# A small quarantine: freed blocks are reused sooner, so runs stop touching
# fresh pages (which cost several times a small run); a use after free of
# the last few megabytes freed is still caught.
export ASAN_OPTIONS=quarantine_size_mb=8${ASAN_OPTIONS:+:$ASAN_OPTIONS}
log=$(mktemp)
trap 'rm -f "$log"' EXIT
# -close_fd_mask=2: the pack reader names every damaged entry on standard
# error; sanitizer reports still reach the log.
if ! "$target" "${dirs[@]}" "${limit[@]}" -max_len="$max_len" -rss_limit_mb=2048 -timeout=10 \
     -close_fd_mask=2 -print_final_stats=1 -artifact_prefix="$root/artifacts/$name-" >"$log" 2>&1; then
  tail -n 60 "$log"
  exit 1
fi
grep -E '^stat::number_of_executed_units|^stat::average_exec_per_sec|^Done ' "$log" || true
