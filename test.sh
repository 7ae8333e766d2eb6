#!/usr/bin/env bash
# test.sh — installs what is missing, builds, and runs every test:
# first the Release build, then the whole suite again under AddressSanitizer
# and UndefinedBehaviorSanitizer, and a bounded run of the fuzz targets; then
# the Windows build, cross-built and checked under Wine; then the arm64 build,
# cross-built and checked under qemu-user.
#   QM7_NO_SANITIZE=1 ./test.sh   skips the sanitizer build (quick local runs)
#   QM7_NO_WINDOWS=1 ./test.sh    skips the Windows build and its Wine checks
#   QM7_NO_WEB=1 ./test.sh        skips the web build and its checks in the browsers
#   QM7_WEB_ENGINES="chromium firefox webkit"   the browser engines it checks
#                                 (default: all three)
#   QM7_NO_ARM64=1 ./test.sh      skips the arm64 build and its checks under qemu
# Stages the machine cannot run (Windows programs under Wine on arm64, say)
# are skipped by themselves; one line says which and why.
set -euo pipefail
source "$(dirname "$0")/scripts/setup.sh"
source "$QM7_ROOT/scripts/machine.sh"

skipped=""
while IFS=$'\t' read -r stage reason; do
  skipped+="${skipped:+, }$stage ($reason)"
  case $stage in
    windows) QM7_NO_WINDOWS=1 ;;
    arm64) QM7_NO_ARM64=1 ;;
  esac
done < <(qm7_stage_skips)
[ -z "$skipped" ] || echo "qm7: on this $(qm7_arch) machine, skipping: $skipped"

qm7_install_packages "${QM7_BUILD_PACKAGES[@]}" xvfb xauth xdotool ffmpeg xmp openmpt123 clang valgrind x11-utils openbox sox \
  help2man dpkg-dev lintian pulseaudio pulseaudio-utils python3 python3-pil
qm7_install_packages appstream  # the package test validates the AppStream metainfo

run_suite() {
  local dir="$QM7_ROOT/build/$1"
  echo "== build $dir"
  qm7_build "$1"
  echo "== test $dir"
  (cd "$dir" && ctest --output-on-failure --no-tests=error -j "$(qm7_jobs)" --timeout 900)
}

run_suite release
if [ "${QM7_NO_WEB:-0}" != 1 ]; then
  # The demo built for the browser, played and traced in headless Chromium
  # and in Firefox ESR and WebKitGTK as real windows with a sound server
  # (uses the Release build's data and capture tool). WebKitGTK draws through
  # Mesa's software OpenGL (libgl1-mesa-dri) on a machine without a GPU.
  echo "== web"
  qm7_install_packages chromium firefox-esr webkit2gtk-driver libgl1-mesa-dri python3-websocket python3-pil \
    xvfb openbox xdotool x11-utils ffmpeg pulseaudio pulseaudio-utils
  "$QM7_ROOT/scripts/build-web.sh"
  # shellcheck disable=SC2086
  "$QM7_ROOT/tests/web/run_browsers.sh" "$QM7_ROOT" "$QM7_ROOT/build/web-test" \
    ${QM7_WEB_ENGINES:-chromium firefox webkit}
fi
if [ "${QM7_NO_SANITIZE:-0}" != 1 ]; then
  run_suite asan

  # Fuzz the untrusted inputs (pack directory, pack entries, LZW streams) for
  # a bounded time each (QM7_FUZZ_SECONDS, default 30); scripts/fuzz.sh alone
  # runs them longer.
  echo "== fuzz"
  "$QM7_ROOT/scripts/fuzz.sh" "${QM7_FUZZ_SECONDS:-30}"
fi
if [ "${QM7_NO_WINDOWS:-0}" != 1 ]; then
  # The Windows build (libopenmpt for it is built once into ~/.cache/qm7),
  # then its programs under Wine against the Release build's golden runs.
  echo "== windows"
  qm7_install_packages xvfb x11-utils pulseaudio pulseaudio-utils imagemagick sox unzip openbox \
    xdotool icoutils python3 python3-pil
  "$QM7_ROOT/scripts/build-windows.sh"
  "$QM7_ROOT/tests/windows/run_wine_tests.sh" "$QM7_ROOT/build/windows" "$QM7_ROOT/build/release"
fi
if [ "${QM7_NO_ARM64:-0}" != 1 ]; then
  # The arm64 cross build (Debian's multiarch packages, installed once); its
  # data and window icon, made by its own tools under qemu, must be the
  # Release build's byte for byte; then under qemu the golden runs, the unit
  # tests and its Debian package. Left to `ctest` in build/arm64 by hand: the
  # capture tool's output and fault runs and the hardening runs (labels
  # capture and hardening), dozens of whole runs that take half an hour
  # under qemu and test the same code's dealings with files and signals; and
  # the data tests (label data), which check data the cmp above has shown
  # to be the Release build's.
  echo "== arm64"
  "$QM7_ROOT/scripts/build-arm64.sh"
  for f in data/qm7.dat data/qm7.it icons/window_icon.cpp; do
    cmp "$QM7_ROOT/build/release/$f" "$QM7_ROOT/build/arm64/$f"
  done
  echo "== test $QM7_ROOT/build/arm64 (under qemu-user)"
  (cd "$QM7_ROOT/build/arm64" &&
   ctest --output-on-failure --no-tests=error -j "$(qm7_jobs)" --timeout 900 -LE '^(capture|hardening|data)$')
fi
echo "qm7: all tests passed${skipped:+; skipped: $skipped}"
