#!/usr/bin/env bash
# build-web.sh — the demo as a web page, in build/web: index.html, its two
# scripts, qm7.js + qm7.wasm, qm7.dat and qm7.it. Any static file server
# will do:  python3 -m http.server -d build/web 8000  then open the address.
#
# Installs emscripten when it is missing and builds libopenmpt with it once
# (cached outside the clone: qm7_libopenmpt in scripts/setup.sh). The data files come
# from the native Release build (build/release/data), made first if needed.
# The capture tool's web build (for tests/web) lands in build/web-cmake.
set -euo pipefail
source "$(dirname "$0")/setup.sh"
source "$(dirname "$0")/web-setup.sh"

native="$QM7_ROOT/build/release"
if [ ! -f "$native/data/qm7.dat" ] || [ ! -f "$native/data/qm7.it" ]; then
  qm7_install_packages "${QM7_BUILD_PACKAGES[@]}"
  qm7_build release data
fi

qm7_web_env
qm7_build web-cmake qm7 qm7-capture
cmake_build="$QM7_ROOT/build/web-cmake"

web="$QM7_ROOT/build/web"
mkdir -p "$web"
cp "$QM7_ROOT/platform/web/index.html" "$QM7_ROOT/platform/web/qm7-page.js" \
   "$QM7_ROOT/platform/web/qm7-audio.js" "$cmake_build/host/qm7.js" "$cmake_build/host/qm7.wasm" \
   "$native/data/qm7.dat" "$native/data/qm7.it" "$web/"
total=$(cat "$web"/* | wc -c)
echo "qm7: the web page is in $web ($((total / 1024)) KiB in all); serve it with"
echo "  python3 -m http.server -b 127.0.0.1 -d $web 8000   and open http://127.0.0.1:8000/"
