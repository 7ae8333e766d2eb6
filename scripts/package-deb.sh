#!/usr/bin/env bash
# package-deb.sh [OUT_DIR] — builds the Debian package qm7_<version>_amd64.deb:
# installs what the build and packaging need, configures a Release build for
# the /usr prefix in build/package (no tests or benchmarks), builds it and
# runs cpack. The package lands in OUT_DIR (default: the repository root).
# Install it with: apt install ./qm7_<version>_amd64.deb
set -euo pipefail
source "$(dirname "$0")/setup.sh"

out=$(realpath -m "${1:-$QM7_ROOT}")
qm7_install_packages "${QM7_BUILD_PACKAGES[@]}" dpkg-dev help2man
build="$QM7_ROOT/build/package"
qm7_build package
mkdir -p "$out"
(cd "$build" && cpack -G DEB -B "$out" >/dev/null)
rm -rf "$out/_CPack_Packages"
ls "$out"/qm7_*_amd64.deb
