# windows-deps.sh — the Windows cross toolchain and libopenmpt built for it.
# Sourced by build-windows.sh (after setup.sh).
#   qm7_windows_toolchain       installs mingw-w64, Wine and icoutils (icotool
#                               joins the icons into one .ico) when missing
#   qm7_windows_libopenmpt      prints the prefix of a static mingw-w64 build
#                               of Debian's libopenmpt, building it once into
#                               ~/.cache/qm7/libopenmpt-VERSION-mingw64
set -euo pipefail

QM7_WINDOWS_PACKAGES=(mingw-w64 g++-mingw-w64-x86-64-posix wine64 wine dpkg-dev icoutils)
QM7_CACHE=${QM7_CACHE:-$HOME/.cache/qm7}

qm7_windows_toolchain() {
  qm7_install_packages "${QM7_WINDOWS_PACKAGES[@]}"
}

# qm7_libopenmpt_version and qm7_enable_deb_src are in setup.sh (the web
# build uses them too).

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
