#!/usr/bin/env bash
# test.sh — installs what is missing, builds, and runs every test:
# first the Release build, then the whole suite again under AddressSanitizer
# and UndefinedBehaviorSanitizer.
#   QM7_NO_SANITIZE=1 ./test.sh   skips the sanitizer build (quick local runs)
set -euo pipefail
source "$(dirname "$0")/scripts/setup.sh"

qm7_install_packages "${QM7_BUILD_PACKAGES[@]}" xvfb xauth xdotool ffmpeg xmp openmpt123 clang

run_suite() {
  local dir=$1; shift
  echo "== build $dir"
  qm7_configure "$dir" "$@"
  cmake --build "$dir" -j "$(qm7_jobs)"
  echo "== test $dir"
  (cd "$dir" && ctest --output-on-failure -j "$(qm7_jobs)" --timeout 900)
}

run_suite "$QM7_ROOT/build/release" -DCMAKE_BUILD_TYPE=Release
if [ "${QM7_NO_SANITIZE:-0}" != 1 ]; then
  run_suite "$QM7_ROOT/build/asan" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQM7_SANITIZE=ON -DQM7_BUILD_BENCH=OFF
fi
echo "qm7: all tests passed"
