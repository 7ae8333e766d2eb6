# web-setup.sh — the WebAssembly toolchain. Sourced by build-web.sh (after
# setup.sh); quick when everything is there.
#   qm7_web_env             exports EM_CACHE and NODE_PATH for emcc
# emscripten's library cache lives outside the clone, keyed by version, under
# QM7_CACHE, so a fresh clone reuses it (as it does the libopenmpt built with
# it: qm7_libopenmpt web in setup.sh).

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
