# setup.sh — installs what the build needs, when it is missing. Sourced by
# demo.sh and test.sh; quick when everything is there already.
#   qm7_install_packages PKG...   apt-get install of the missing ones
#   qm7_configure DIR [CMAKE ARGS...]   cmake + ninja into DIR
#   qm7_libopenmpt_version     upstream version of Debian's libopenmpt-dev
#   qm7_enable_deb_src         adds a deb-src twin of the Debian entries, once
#                              (for builds of libopenmpt from its source package)
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

# The version Debian's libopenmpt-dev carries: the source package must match
# the headers the Linux build uses, so both builds play the same player code.
qm7_libopenmpt_version() {
  local v
  v=$(dpkg-query -W -f='${Version}' libopenmpt-dev 2>/dev/null || true)
  [ -n "$v" ] || v=$(apt-cache policy libopenmpt-dev | awk '/Candidate:/ {print $2}')
  v=${v#*:}        # epoch
  printf '%s\n' "${v%%-*}"   # upstream part only
}

# Adds a deb-src twin of the machine's Debian entries, once.
qm7_enable_deb_src() {
  if grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ || grep -qs '^deb-src' /etc/apt/sources.list; then
    return 0
  fi
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources |
      $sudo tee /etc/apt/sources.list.d/qm7-deb-src.sources >/dev/null
  else
    sed -n 's/^deb /deb-src /p' /etc/apt/sources.list |
      $sudo tee /etc/apt/sources.list.d/qm7-deb-src.list >/dev/null
  fi
  local i
  for i in 1 2 3 4 5 6 7 8 9 10; do
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -qq && return 0
    echo "qm7: apt-get update failed (lock held?), retrying" >&2
    sleep 15
  done
  return 1
}
