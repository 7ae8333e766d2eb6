#!/usr/bin/env bash
# fuzz.sh [SECONDS] — runs every fuzz target for SECONDS each (default 600)
# in build/fuzz, keeping the corpus between runs in build/fuzz/tests/fuzz/corpus.
# Crashes land in .../corpus/artifacts.
set -euo pipefail
source "$(dirname "$0")/setup.sh"
seconds=${1:-600}
qm7_install_packages "${QM7_BUILD_PACKAGES[@]}" clang
dir="$QM7_ROOT/build/fuzz"
CC=clang CXX=clang++ qm7_configure "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQM7_FUZZ=ON \
  -DQM7_BUILD_BENCH=OFF -DQM7_FUZZ_SECONDS="$seconds" \
  -DQM7_FUZZ_SEED_PACK="$QM7_ROOT/build/release/data/qm7.dat"
cmake --build "$dir" -j "$(qm7_jobs)" --target fuzz_seeds fuzz_pack_directory fuzz_pack_load fuzz_lzw_decode
cd "$dir" && ctest -L fuzz --output-on-failure -V | grep -E 'Test|stat::number_of_executed_units|Done '
