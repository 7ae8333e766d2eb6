# setup.sh — installs what the build needs, when it is missing. Sourced by
# demo.sh and test.sh; quick when everything is there already.
#   qm7_install_packages PKG...   apt-get install of the missing ones
#   qm7_configure DIR [CMAKE ARGS...]   cmake + ninja into DIR
set -euo pipefail

QM7_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

QM7_BUILD_PACKAGES=(
  cmake ninja-build g++ pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libsdl2-dev libopenmpt-dev libfreetype-dev libpng-dev fonts-dejavu-core
)

qm7_missing_packages() {
  local p
  for p in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
      printf '%s\n' "$p"
    fi
  done
}

qm7_install_packages() {
  local missing
  missing=$(qm7_missing_packages "$@")
  [ -z "$missing" ] && return 0
  local sudo=""
  if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null 2>&1; then
      sudo="sudo"
    else
      echo "qm7: these packages are missing and there is no sudo to install them:" $missing >&2
      return 1
    fi
  fi
  echo "qm7: installing" $missing >&2
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  # shellcheck disable=SC2086
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $missing >&2
}

qm7_jobs() {
  nproc 2>/dev/null || echo 2
}

# qm7_configure BUILD_DIR [extra cmake arguments...]
qm7_configure() {
  local dir=$1; shift
  cmake -S "$QM7_ROOT" -B "$dir" -G Ninja "$@" >/dev/null
}
