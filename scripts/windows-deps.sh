# windows-deps.sh — the Windows cross toolchain and libopenmpt built for it.
# Sourced by build-windows.sh (after setup.sh).
#   qm7_windows_toolchain       installs mingw-w64 and Wine when missing
#   qm7_windows_libopenmpt      prints the prefix of a static mingw-w64 build
#                               of Debian's libopenmpt, building it once into
#                               ~/.cache/qm7/libopenmpt-VERSION-mingw64
set -euo pipefail

QM7_WINDOWS_PACKAGES=(mingw-w64 g++-mingw-w64-x86-64-posix wine64 wine dpkg-dev)
QM7_CACHE=${QM7_CACHE:-$HOME/.cache/qm7}

qm7_windows_toolchain() {
  qm7_install_packages "${QM7_WINDOWS_PACKAGES[@]}"
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

qm7_windows_libopenmpt() {
  local version prefix
  version=$(qm7_libopenmpt_version)
  prefix="$QM7_CACHE/libopenmpt-$version-mingw64"
  if [ -f "$prefix/lib/libopenmpt.a" ] && [ -f "$prefix/.qm7-done" ]; then
    printf '%s\n' "$prefix"
    return 0
  fi
  echo "qm7: building libopenmpt $version for mingw-w64 into $prefix (once; several minutes)" >&2
  qm7_enable_deb_src >&2
  local work="$QM7_CACHE/src/libopenmpt-$version"
  rm -rf "$work" "$prefix"
  mkdir -p "$work"
  (
    cd "$work"
    apt-get source --download-only "libopenmpt=$(dpkg-query -W -f='${Version}' libopenmpt-dev 2>/dev/null || echo "$version")" >&2 ||
      apt-get source --download-only libopenmpt >&2
    local orig
    orig=$(ls libopenmpt_*.orig.tar.* | head -n 1)
    tar xf "$orig"
    cd "$(find . -maxdepth 1 -type d -name 'libopenmpt-*' | head -n 1)"
    CC=x86_64-w64-mingw32-gcc-posix CXX=x86_64-w64-mingw32-g++-posix \
      CFLAGS="-O2" CXXFLAGS="-O2" \
      nice -n 10 ./configure --host=x86_64-w64-mingw32 --prefix="$prefix" \
      --enable-static --disable-shared --disable-openmpt123 --disable-examples \
      --disable-tests --disable-doxygen-doc --without-zlib --without-mpg123 \
      --without-ogg --without-vorbis --without-vorbisfile --without-portaudio \
      --without-portaudiocpp --without-sndfile --without-flac >&2
    nice -n 10 make -j"$(qm7_jobs)" >&2
    make install >&2
  )
  touch "$prefix/.qm7-done"
  rm -rf "$work"
  printf '%s\n' "$prefix"
}
