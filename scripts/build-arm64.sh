#!/usr/bin/env bash
# build-arm64.sh [TARGET...] — cross-builds the demo, its tools and its test
# suite for 64-bit ARM Linux into build/arm64 (all targets when none are
# named). Installs, when missing, Debian's aarch64 cross compiler, qemu-user
# and the arm64 libraries as multiarch packages (scripts/arm64-deps.sh).
# The data and the icons are made by the arm64 tools themselves, under qemu.
#   (cd build/arm64 && ctest)       the suite under qemu
#   scripts/package-deb.sh --arm64  the arm64 Debian package
# On an arm64 machine the native Release build (build/release) is the arm64
# build; this script says so and builds nothing.
set -euo pipefail
source "$(dirname "$0")/setup.sh"
source "$(dirname "$0")/machine.sh"
source "$(dirname "$0")/arm64-deps.sh"

if qm7_arm64_native; then
  echo "qm7: this machine is arm64: build/release is its arm64 build (source scripts/setup.sh; qm7_build release)" >&2
  exit 0
fi
qm7_install_packages "${QM7_BUILD_PACKAGES[@]}" help2man
qm7_arm64_toolchain
qm7_build arm64 "$@"
