#!/usr/bin/env bash
# build-windows.sh — cross-builds the demo for 64-bit Windows on this Linux
# machine and packs it: build/windows/qm7-windows.zip holds qm7.exe,
# qm7-capture.exe, qm7-pack.exe, the data (qm7.dat, qm7.it) and README.txt.
#
# Installs mingw-w64 and Wine when missing, builds libopenmpt for Windows
# once into ~/.cache/qm7/ (QM7_CACHE), takes the data and the window icon's
# pixels from the Linux build in build/release (building them when they are
# not there), and links everything
# statically, so the programs run on a bare Windows with no DLLs beside them.
set -euo pipefail
source "$(dirname "$0")/setup.sh"
source "$(dirname "$0")/windows-deps.sh"

qm7_windows_toolchain
qm7_install_packages zip

# The data is made by host tools: take it from the Linux build.
native="$QM7_ROOT/build/release"
icon="$native/icons/window_icon.cpp"
if [ ! -f "$native/data/qm7.dat" ] || [ ! -f "$native/data/qm7.it" ] || [ ! -f "$icon" ]; then
  echo "qm7: making the data and the icon with a Linux build in $native" >&2
  qm7_install_packages "${QM7_BUILD_PACKAGES[@]}"
  qm7_build release data qm7
fi

out="$QM7_ROOT/build/windows"
qm7_build windows

stage="$out/zip"
rm -rf "$stage" "$out/qm7-windows.zip"
mkdir -p "$stage"
cp "$out/host/qm7.exe" "$out/tools/capture/qm7-capture.exe" "$out/tools/pack/qm7-pack.exe" \
  "$native/data/qm7.dat" "$native/data/qm7.it" "$stage/"
sed 's/$/\r/' "$QM7_ROOT/docs/windows-README.txt" >"$stage/README.txt"
(cd "$stage" && zip -q -9 -X "$out/qm7-windows.zip" qm7.exe qm7-capture.exe qm7-pack.exe \
  qm7.dat qm7.it README.txt)
echo "qm7: $out/qm7-windows.zip ($(stat -c %s "$out/qm7-windows.zip") bytes)"
