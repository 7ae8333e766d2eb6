#!/usr/bin/env bash
# music_progress.sh STDERR REFERENCE_TRACE FPS — how far a live qm7's music
# got, from the QM7_STATS lines in its standard error (STDERR), against an
# offline run's trace (qm7-capture --fps FPS --trace REFERENCE_TRACE).
# Prints one line "ORDER ROW PLAYED EXPECTED": where the music stood when qm7
# ended, the seconds it had been playing since the first main-loop frame,
# and the seconds the reference takes to reach that position ("never" when
# it does not). Exits 1 with a message when STDERR has no QM7_STATS lines.
# Used by the X-based tests that check the music kept its position.
set -euo pipefail
stderr=$1 reference=$2 fps=$3
start_ms=$(sed -n 's/.*first main-loop frame \([0-9.]*\) ms after start.*/\1/p' "$stderr")
read -r order row end_ms < <(sed -n \
  's/^qm7: music at order \([0-9]*\), row \([0-9]*\), scene [0-9]* when the program ended \([0-9.]*\) ms.*/\1 \2 \3/p' \
  "$stderr") || true
if [ -z "$start_ms" ] || [ -z "${end_ms:-}" ]; then
  echo "no QM7_STATS lines in $stderr" >&2
  exit 1
fi
expected=$(awk -F'\t' -v o="$order" -v r="$row" -v fps="$fps" \
  'NR > 1 && ($2 > o || ($2 == o && $3 >= r)) { print $1 / fps; exit }' "$reference")
played=$(awk -v a="$start_ms" -v b="$end_ms" 'BEGIN { print (b - a) / 1000 }')
echo "$order $row $played ${expected:-never}"
