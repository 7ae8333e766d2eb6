#!/usr/bin/env bash
# demo.sh — installs what is missing, builds in Release, makes the data and
# plays the demo full screen. On a machine with no display it records the
# demo to qm7.mp4 instead and says where the file is.
set -euo pipefail
source "$(dirname "$0")/scripts/setup.sh"

qm7_install_packages "${QM7_BUILD_PACKAGES[@]}"
build="$QM7_ROOT/build/release"
# The folder test.sh builds too: only what the demo plays is built here.
qm7_build release qm7 qm7-capture data

# No display: record the whole demo, picture and music, to qm7.mp4 instead.
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  qm7_install_packages ffmpeg
  video="$QM7_ROOT/qm7.mp4"
  echo "qm7: no display here; recording the demo to $video (a few minutes)" >&2
  "$build/tools/capture/qm7-capture" --data "$build/data" --video "$video"
  echo  # ends the line of the loader's dots
  echo "qm7: the demo is recorded in $video"
  exit 0
fi

if [ ! -x "$build/host/qm7" ]; then
  echo "qm7: the demo program is not built yet; nothing to play." >&2
  exit 1
fi
missing=()
for f in qm7.dat qm7.it; do
  [ -f "$build/data/$f" ] || missing+=("$build/data/$f")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "qm7: the demo's data is missing: ${missing[*]} (made by: cmake --build $build --target data)" >&2
  exit 1
fi
echo "qm7: playing full screen; Escape quits." >&2
cd "$build/data"
exec "$build/host/qm7"
