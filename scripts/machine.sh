# machine.sh — what this machine is and which test stages it can run.
# Sourced by test.sh, build-arm64.sh and package-deb.sh (after setup.sh).
#   qm7_arch            the machine's Debian architecture (amd64, arm64, ...);
#                       QM7_ARCH overrides it, to see what the scripts do on
#                       another machine
#   qm7_arm64_native    true on an arm64 machine
#   qm7_stage_skips     one line per test.sh stage that will not run, the
#                       stage's name, a tab and why: switched off by its
#                       QM7_NO_* variable, or not runnable on this machine
set -euo pipefail

qm7_arch() {
  local arch=${QM7_ARCH:-$(dpkg --print-architecture 2>/dev/null || uname -m)}
  case $arch in
    aarch64) arch=arm64 ;;
    x86_64) arch=amd64 ;;
  esac
  printf '%s\n' "$arch"
}

qm7_arm64_native() {
  [ "$(qm7_arch)" = arm64 ]
}

qm7_stage_skips() {
  local arch
  arch=$(qm7_arch)
  [ "${QM7_NO_WEB:-0}" != 1 ] || printf 'web\tQM7_NO_WEB=1\n'
  [ "${QM7_NO_SANITIZE:-0}" != 1 ] || printf 'sanitizers and fuzzing\tQM7_NO_SANITIZE=1\n'
  if [ "${QM7_NO_WINDOWS:-0}" = 1 ]; then
    printf 'windows\tQM7_NO_WINDOWS=1\n'
  elif [ "$arch" != amd64 ]; then
    # The Windows build is x86-64, and Wine runs Windows programs of its own
    # processor family only.
    printf 'windows\tWine on %s runs no x86-64 Windows programs\n' "$arch"
  fi
  if [ "${QM7_NO_ARM64:-0}" = 1 ]; then
    printf 'arm64\tQM7_NO_ARM64=1\n'
  elif [ "$arch" = arm64 ]; then
    printf 'arm64\tthis machine is arm64: the Release suite is the arm64 run\n'
  elif [ "$arch" != amd64 ]; then
    printf 'arm64\tthe arm64 cross build is made on amd64 only\n'
  fi
}
