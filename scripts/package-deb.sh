#!/usr/bin/env bash
# package-deb.sh [--arch amd64|arm64] [OUT_DIR] — builds the Debian package
# qm7_<version>_<arch>.deb, by default for this machine's architecture.
# For the machine's own architecture it installs what the build and packaging
# need, configures a Release build for the /usr prefix in build/package (no
# tests or benchmarks) and builds it; --arch arm64 on another machine takes
# the arm64 cross build in build/arm64 (scripts/build-arm64.sh, which also
# installs under /usr). Then cpack makes the package, its dependencies found
# by dpkg-shlibdeps in that architecture's libraries. The package lands in
# OUT_DIR (default: the repository root).
# Install it with: apt install ./qm7_<version>_<arch>.deb
set -euo pipefail
source "$(dirname "$0")/setup.sh"
source "$(dirname "$0")/machine.sh"

arch=$(qm7_arch)
if [ "${1:-}" = --arch ]; then
  [ $# -ge 2 ] || { echo "usage: package-deb.sh [--arch amd64|arm64] [OUT_DIR]" >&2; exit 2; }
  arch=$2; shift 2
fi
out=$(realpath -m "${1:-$QM7_ROOT}")
if [ "$arch" = "$(qm7_arch)" ]; then
  build="$QM7_ROOT/build/package"
elif [ "$arch" = arm64 ]; then
  build="$QM7_ROOT/build/arm64"
else
  echo "qm7: no package for $arch on this $(qm7_arch) machine (amd64 is made on amd64; arm64 on either)" >&2
  exit 2
fi
qm7_install_packages "${QM7_BUILD_PACKAGES[@]}" dpkg-dev help2man
if [ "$build" = "$QM7_ROOT/build/package" ]; then
  qm7_build package
else
  "$QM7_ROOT/scripts/build-arm64.sh"
fi
mkdir -p "$out"
# dpkg-shlibdeps looks for the libraries of the package's architecture.
(cd "$build" && DEB_HOST_ARCH=$arch cpack -G DEB -B "$out" >/dev/null)
rm -rf "$out/_CPack_Packages"
ls "$out"/qm7_*_"$arch".deb
