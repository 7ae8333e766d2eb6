#!/usr/bin/env bash
# fuzz.sh [SECONDS | --runs N [SECONDS]] [TARGET...] — builds and runs the
# fuzz targets (all four by default: pack_directory pack_load lzw_decode
# pack_tool) one after the other in build/fuzz, each for SECONDS (default
# 600; test.sh asks for 30) or for N executions (no time limit unless SECONDS
# is given as well).
# New inputs collect in build/fuzz/tests/fuzz/corpus/TARGET, crashes in
# .../corpus/artifacts. To keep a grown corpus in the repository, minimise
# it into tests/fuzz/corpus/TARGET:
#   build/fuzz/tests/fuzz/fuzz_TARGET -merge=1 NEW_DIR tests/fuzz/corpus/TARGET build/fuzz/tests/fuzz/corpus/TARGET
set -euo pipefail
source "$(dirname "$0")/setup.sh"
seconds=600
if [ "${1:-}" = --runs ]; then
  export QM7_FUZZ_RUNS=$2
  seconds=0
  shift 2
fi
if [ -n "${1:-}" ] && [ "${1#[0-9]}" != "$1" ]; then
  seconds=$1
  shift
fi
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(pack_directory pack_load lzw_decode pack_tool)
qm7_install_packages "${QM7_BUILD_PACKAGES[@]}" clang
# The pack fuzzers start from the real pack.
[ -f "$QM7_ROOT/build/release/data/qm7.dat" ] || qm7_build release data
qm7_build fuzz fuzz_seeds fuzz_pack_directory fuzz_pack_load fuzz_lzw_decode fuzz_pack_tool
cd "$QM7_ROOT/build/fuzz"
# The commands ctest runs (label "fuzz"), without its time limit and with
# SECONDS in place of the build's (run_fuzz.sh's fifth argument).
for name in "${targets[@]}"; do
  echo "== fuzz_$name"
  command=$(ctest -N -V -R "^fuzz_${name}\$" | sed -n 's/^[0-9]*: Test command: //p')
  [ -n "$command" ] || { echo "no fuzz target $name"; exit 1; }
  eval "args=($command)"
  for i in "${!args[@]}"; do
    [ "${args[i]##*/}" != run_fuzz.sh ] || args[i + 5]=$seconds
  done
  "${args[@]}"
done
