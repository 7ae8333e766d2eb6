#!/usr/bin/env bash
# test.sh — installs what is missing, builds, and runs every test:
# first the Release build, then the whole suite again under AddressSanitizer
# and UndefinedBehaviorSanitizer, and a bounded run of the fuzz targets; then
# the Windows build, cross-built and checked under Wine.
#   QM7_NO_SANITIZE=1 ./test.sh   skips the sanitizer build (quick local runs)
#   QM7_NO_WINDOWS=1 ./test.sh    skips the Windows build and its Wine checks
#   QM7_NO_WEB=1 ./test.sh        skips the web build and its headless Chromium checks
set -euo pipefail
source "$(dirname "$0")/scripts/setup.sh"

qm7_install_packages "${QM7_BUILD_PACKAGES[@]}" xvfb xauth xdotool ffmpeg xmp openmpt123 clang valgrind x11-utils openbox sox \
  help2man dpkg-dev lintian pulseaudio pulseaudio-utils python3 python3-pil

run_suite() {
  local dir=$1; shift
  echo "== build $dir"
  qm7_configure "$dir" "$@"
  cmake --build "$dir" -j "$(qm7_jobs)"
  echo "== test $dir"
  (cd "$dir" && ctest --output-on-failure --no-tests=error -j "$(qm7_jobs)" --timeout 900)
}

run_suite "$QM7_ROOT/build/release" -DCMAKE_BUILD_TYPE=Release -DQM7_BUILD_TESTS=ON -DQM7_BUILD_BENCH=ON
if [ "${QM7_NO_WEB:-0}" != 1 ]; then
  # The demo built for the browser, played and traced in headless Chromium
  # (uses the Release build's data and capture tool).
  echo "== web"
  qm7_install_packages chromium python3-websocket python3-pil
  "$QM7_ROOT/scripts/build-web.sh"
  /usr/bin/python3 "$QM7_ROOT/tests/web/browser_test.py" "$QM7_ROOT" "$QM7_ROOT/build/web-test"
fi
if [ "${QM7_NO_SANITIZE:-0}" != 1 ]; then
  run_suite "$QM7_ROOT/build/asan" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQM7_SANITIZE=ON -DQM7_BUILD_TESTS=ON -DQM7_BUILD_BENCH=OFF

  # Fuzz the untrusted inputs (pack directory, pack entries, LZW streams) for
  # a bounded time each; scripts/fuzz.sh runs them longer.
  echo "== fuzz"
  fuzz="$QM7_ROOT/build/fuzz"
  CC=clang CXX=clang++ qm7_configure "$fuzz" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQM7_FUZZ=ON \
    -DQM7_BUILD_BENCH=OFF -DQM7_FUZZ_SECONDS="${QM7_FUZZ_SECONDS:-30}" \
    -DQM7_FUZZ_SEED_PACK="$QM7_ROOT/build/release/data/qm7.dat"
  cmake --build "$fuzz" -j "$(qm7_jobs)" --target fuzz_seeds fuzz_pack_directory fuzz_pack_load fuzz_lzw_decode fuzz_pack_tool
  (cd "$fuzz" && ctest -L fuzz --output-on-failure)
fi
if [ "${QM7_NO_WINDOWS:-0}" != 1 ]; then
  # The Windows build (libopenmpt for it is built once into ~/.cache/qm7),
  # then its programs under Wine against the Release build's golden runs.
  echo "== windows"
  qm7_install_packages xvfb x11-utils pulseaudio pulseaudio-utils imagemagick sox unzip
  "$QM7_ROOT/scripts/build-windows.sh"
  "$QM7_ROOT/tests/windows/run_wine_tests.sh" "$QM7_ROOT/build/windows" "$QM7_ROOT/build/release"
fi
echo "qm7: all tests passed"
