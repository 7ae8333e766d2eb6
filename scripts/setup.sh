# setup.sh — installs what the build needs, when it is missing. Sourced by
# demo.sh and test.sh; quick when everything is there already.
#   qm7_install_packages PKG...   apt-get install of the missing ones
#   qm7_build NAME [TARGET...]    configures build/NAME with its one option
#                                 set and builds TARGETs (all when none)
#   qm7_libopenmpt mingw64|web    prints the prefix of a static libopenmpt
#                                 for that target, building it once
# Caches that outlive a clone (libopenmpt builds, emscripten's library cache,
# Wine prefixes) live under QM7_CACHE, by default ~/.cache/qm7.
set -euo pipefail

QM7_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export QM7_CACHE=${QM7_CACHE:-$HOME/.cache/qm7}

QM7_BUILD_PACKAGES=(
  cmake ninja-build g++ pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libsdl2-dev libopenmpt-dev libfreetype-dev libpng-dev fonts-dejavu-core
  python3
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

# qm7_build NAME [TARGET...]
# Every script configures a build folder through here, each folder with one
# option set, so whichever script ran first, the next rebuilds nothing:
#   release    the native Release build with tests and benchmarks (demo.sh
#              builds only what it plays; the data of every other build)
#   asan       the suite under AddressSanitizer and UBSan
#   fuzz       the libFuzzer targets (clang), seeded with release's pack
#   package    installed under /usr, for the Debian package
#   windows    cross-built with mingw-w64 (after qm7_windows_toolchain),
#              with release's window icon
#   web-cmake  built with emscripten (after qm7_web_env)
#   arm64      cross-built for 64-bit ARM Linux with the tests (after
#              qm7_arm64_toolchain); programs run under qemu-user; installed
#              under /usr, so its Debian package is made from it too
qm7_build() {
  local name=$1; shift
  local dir="$QM7_ROOT/build/$name" release="$QM7_ROOT/build/release"
  local cmake=(cmake) options=() openmpt
  case $name in
    release) options=(-DCMAKE_BUILD_TYPE=Release -DQM7_BUILD_TESTS=ON -DQM7_BUILD_BENCH=ON) ;;
    asan) options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DQM7_SANITIZE=ON -DQM7_BUILD_TESTS=ON
                   -DQM7_BUILD_BENCH=OFF) ;;
    fuzz) cmake=(env CC=clang CXX=clang++ cmake)
          options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DQM7_FUZZ=ON -DQM7_BUILD_BENCH=OFF
                   -DQM7_FUZZ_SEED_PACK="$release/data/qm7.dat") ;;
    package) options=(-DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr
                      -DQM7_BUILD_TESTS=OFF -DQM7_BUILD_BENCH=OFF) ;;
    windows) openmpt=$(qm7_libopenmpt mingw64) || return 1
             options=(-DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$QM7_ROOT/cmake/mingw-w64.cmake"
                      -DQM7_OPENMPT_PREFIX="$openmpt"
                      -DQM7_WINDOW_ICON_SOURCE="$release/icons/window_icon.cpp") ;;
    web-cmake) openmpt=$(qm7_libopenmpt web) || return 1
               cmake=(emcmake cmake)
               options=(-DCMAKE_BUILD_TYPE=Release -DQM7_OPENMPT_PREFIX="$openmpt") ;;
    arm64) options=(-DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$QM7_ROOT/cmake/aarch64-linux-gnu.cmake"
                    -DCMAKE_INSTALL_PREFIX=/usr -DQM7_BUILD_TESTS=ON -DQM7_BUILD_BENCH=OFF) ;;
    *) echo "qm7: no build folder named $name" >&2; return 1 ;;
  esac
  if command -v ccache >/dev/null 2>&1; then
    options+=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  fi
  "${cmake[@]}" -S "$QM7_ROOT" -B "$dir" -G Ninja "${options[@]}" >/dev/null
  local targets=()
  [ $# -eq 0 ] || targets=(--target "$@")
  nice cmake --build "$dir" -j "$(qm7_jobs)" "${targets[@]}"
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

# qm7_libopenmpt mingw64|web — prints the prefix of a static libopenmpt for
# Windows (mingw-w64) or the web (emscripten, after qm7_web_env), built once
# from Debian's source package into QM7_CACHE/libopenmpt-VERSION-mingw64 or
# -emEMSCRIPTEN_VERSION. The build installs into a scratch folder that is
# moved into place whole, so a prefix with lib/libopenmpt.a is complete.
qm7_libopenmpt() {
  local target=$1 version prefix host configure=() make=(make)
  version=$(qm7_libopenmpt_version)
  case $target in
    mingw64) prefix="$QM7_CACHE/libopenmpt-$version-mingw64" host=x86_64-w64-mingw32
             configure=(env CC=x86_64-w64-mingw32-gcc-posix CXX=x86_64-w64-mingw32-g++-posix) ;;
    # A 32-bit host triple: configure then does not try to run what it builds.
    web) prefix="$QM7_CACHE/libopenmpt-$version-em$QM7_EMSCRIPTEN_VERSION" host=i686-pc-linux-gnu
         configure=(emconfigure) make=(emmake make) ;;
    *) echo "qm7: libopenmpt has no target $target" >&2; return 1 ;;
  esac
  if [ -f "$prefix/lib/libopenmpt.a" ]; then
    printf '%s\n' "$prefix"
    return 0
  fi
  echo "qm7: building libopenmpt $version for $target into $prefix (once; several minutes)" >&2
  qm7_install_packages dpkg-dev >&2 && qm7_enable_deb_src >&2 || return 1
  mkdir -p "$QM7_CACHE"
  local work
  work=$(mktemp -d "$QM7_CACHE/libopenmpt-build.XXXXXX") || return 1
  # Each step chained: errexit does not reach into a command substitution.
  if ! (
    cd "$work" &&
    { apt-get source --download-only "libopenmpt=$(dpkg-query -W -f='${Version}' libopenmpt-dev 2>/dev/null || echo "$version")" ||
      apt-get source --download-only libopenmpt; } &&
    tar xf libopenmpt_*.orig.tar.* &&
    cd "$(find . -maxdepth 1 -type d -name 'libopenmpt-*' | head -n 1)" &&
    nice -n 10 "${configure[@]}" ./configure --host="$host" --prefix="$prefix" \
      --enable-static --disable-shared --disable-openmpt123 --disable-examples \
      --disable-tests --disable-doxygen-doc --without-zlib --without-mpg123 \
      --without-ogg --without-vorbis --without-vorbisfile --without-portaudio \
      --without-portaudiocpp --without-sndfile --without-flac CFLAGS=-O2 CXXFLAGS=-O2 &&
    nice -n 10 "${make[@]}" -j"$(qm7_jobs)" &&
    "${make[@]}" install DESTDIR="$work/stage"
  ) >&2; then
    echo "qm7: the libopenmpt build for $target failed (in $work)" >&2
    return 1
  fi
  rm -rf "$prefix"
  mv "$work/stage$prefix" "$prefix"
  rm -rf "$work"
  printf '%s\n' "$prefix"
}
