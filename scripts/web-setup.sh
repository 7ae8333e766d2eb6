# web-setup.sh — the WebAssembly toolchain and the libopenmpt built with it.
# Sourced by build-web.sh (after setup.sh); quick when everything is there.
#   qm7_web_env             exports EM_CACHE and NODE_PATH for emcc
#   qm7_web_libopenmpt      prints the prefix of a static emscripten libopenmpt,
#                           building it from Debian's source package on first use
# Both caches live outside the clone, keyed by version, under
# ${QM7_CACHE:-~/.cache/qm7}, so a fresh clone reuses them.

QM7_CACHE=${QM7_CACHE:-$HOME/.cache/qm7}

qm7_emscripten_version() {
  emcc --version 2>/dev/null | sed -n '1s/.*) \([0-9][0-9.]*\).*/\1/p'
}

qm7_web_env() {
  qm7_install_packages emscripten
  # Debian's emcc loads Debian's node modules (acorn); a node from elsewhere
  # does not search them unless told.
  export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
  local v
  v=$(qm7_emscripten_version)
  [ -n "$v" ] || { echo "qm7: cannot read emcc's version" >&2; return 1; }
  # Debian's own cache is frozen: a system library it lacks cannot be built
  # there. A writable copy of it lets emscripten add what it needs.
  export EM_CACHE="$QM7_CACHE/emscripten-$v"
  export EM_FROZEN_CACHE=
  if [ ! -f "$EM_CACHE/sysroot_install.stamp" ]; then
    local debian_cache=/usr/share/emscripten/cache
    rm -rf "$EM_CACHE.tmp"
    mkdir -p "$EM_CACHE.tmp"
    if [ -f "$debian_cache/sysroot_install.stamp" ]; then
      cp -a "$debian_cache/." "$EM_CACHE.tmp/"
      rm -f "$EM_CACHE.tmp/cache.lock"
    fi
    rm -rf "$EM_CACHE"
    mv "$EM_CACHE.tmp" "$EM_CACHE"
  fi
  QM7_EMSCRIPTEN_VERSION=$v
}

qm7_web_libopenmpt() {
  local v
  v=$(qm7_libopenmpt_version)
  local prefix="$QM7_CACHE/libopenmpt-$v-em$QM7_EMSCRIPTEN_VERSION"
  if [ -f "$prefix/lib/libopenmpt.a" ]; then
    printf '%s\n' "$prefix"
    return 0
  fi
  qm7_install_packages dpkg-dev >&2
  qm7_enable_deb_src >&2
  local work
  work=$(mktemp -d "$QM7_CACHE/libopenmpt-build.XXXXXX")
  echo "qm7: building libopenmpt $v with emscripten $QM7_EMSCRIPTEN_VERSION (a few minutes, once)" >&2
  (
    set -e
    cd "$work"
    apt-get source --download-only "libopenmpt=$(dpkg-query -W -f='${Version}' libopenmpt-dev 2>/dev/null || echo "$v")" >&2 ||
      apt-get source --download-only libopenmpt >&2
    tar xf libopenmpt_*.orig.tar.*
    cd "$(find . -maxdepth 1 -type d -name 'libopenmpt-*' | head -1)"
    # A 32-bit host triple: configure then does not try to run what it builds.
    nice -n 10 emconfigure ./configure --host=i686-pc-linux-gnu --prefix="$work/install" \
      --enable-static --disable-shared --disable-openmpt123 --disable-examples \
      --disable-tests --disable-doxygen-doc --without-zlib --without-mpg123 \
      --without-ogg --without-vorbis --without-vorbisfile --without-portaudio \
      --without-portaudiocpp --without-sndfile --without-flac \
      CXXFLAGS="-O2" CFLAGS="-O2" >&2
    nice -n 10 emmake make -j"$(qm7_jobs)" >&2
    emmake make install >&2
  ) || { echo "qm7: the emscripten libopenmpt build failed (in $work)" >&2; return 1; }
  rm -rf "$prefix"
  mv "$work/install" "$prefix"
  rm -rf "$work"
  printf '%s\n' "$prefix"
}
