# arm64-deps.sh — the arm64 cross toolchain and libraries. Sourced by
# build-arm64.sh (after setup.sh).
#   qm7_arm64_toolchain    installs, when missing, Debian's aarch64 cross
#                          compiler, qemu-user (runs arm64 programs here) and
#                          the arm64 builds of the libraries the programs and
#                          the tests link, as multiarch packages beside the
#                          machine's own (dpkg --add-architecture arm64)
set -euo pipefail

QM7_ARM64_PACKAGES=(g++-aarch64-linux-gnu qemu-user dpkg-dev
  libstdc++6:arm64 libsdl2-dev:arm64 libopenmpt-dev:arm64 libpng-dev:arm64 libfreetype-dev:arm64
  libgtest-dev:arm64 libgmock-dev:arm64)

qm7_arm64_toolchain() {
  local missing sudo=""
  missing=$(qm7_missing_packages "${QM7_ARM64_PACKAGES[@]}")
  [ -z "$missing" ] && return 0
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  if ! dpkg --print-foreign-architectures | grep -qx arm64; then
    echo "qm7: adding arm64 as a foreign architecture (dpkg --add-architecture arm64)" >&2
    $sudo dpkg --add-architecture arm64
  fi
  echo "qm7: installing" $missing >&2
  # Other programs may hold apt's locks for a while: wait for them. The arm64
  # libraries must match the machine's own versions of the same packages, so
  # apt may update those too.
  local i
  for i in 1 2 3 4 5 6 7 8 9 10; do
    # shellcheck disable=SC2086
    if $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -qq &&
       $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
         -o DPkg::Lock::Timeout=600 $missing >&2; then
      return 0
    fi
    echo "qm7: apt-get failed (lock held?), retrying" >&2
    sleep 15
  done
  return 1
}
