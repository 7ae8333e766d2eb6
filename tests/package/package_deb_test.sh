#!/usr/bin/env bash
# package_deb_test.sh BUILD_DIR VERSION CPACK ARCH [EMULATOR] — makes
# qm7_VERSION_ARCH.deb from the build with cpack and checks it without
# installing it (a cross build's programs run under EMULATOR):
#   - the files in it are exactly the programs, the data, the desktop entry,
#     the AppStream metainfo, the icons, the manual pages and the copyright
#     and changelog notes;
#   - it depends on the C and C++ run-time libraries, SDL2, libopenmpt and
#     libpng (found by dpkg-shlibdeps in ARCH's libraries) and on no
#     development package, and its programs are built for ARCH;
#   - unpacked with dpkg-deb -x into a temporary root, its programs report
#     the version, qm7-capture plays 50 frames from an unrelated folder
#     without --data (it finds the packaged data beside its bin folder) and
#     draws the same frames as the build's own, and qm7 plays on SDL's dummy
#     video and audio drivers until it is told to stop;
#   - the metainfo passes `appstreamcli validate` without a warning, and
#     names the package's version and desktop entry;
#   - lintian reports no errors (its warnings are printed).
# Exits 77 (skipped) without dpkg-deb and dpkg-shlibdeps (Debian's dpkg-dev).
set -euo pipefail
build=$1 version=$2 cpack=$3 arch=$4 emulator=${5:-}
runner=()  # what starts a packaged program: nothing natively, else the emulator
[ -z "$emulator" ] || runner=("$emulator")
source "$(dirname "$0")/../support/preflight.sh"
need_tools dpkg-deb dpkg-shlibdeps  # Debian's dpkg-dev
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail=0
check() {  # check DESCRIPTION COMMAND...
  local what=$1; shift
  if ! "$@"; then echo "FAIL: $what"; fail=1; fi
}

(cd "$build" && DEB_HOST_ARCH=$arch "$cpack" -G DEB -B "$work/out" >"$work/cpack.log" 2>&1) ||
  { cat "$work/cpack.log"; echo "FAIL: cpack"; exit 1; }
deb="$work/out/qm7_${version}_${arch}.deb"
[ -f "$deb" ] || { ls -l "$work/out"; echo "FAIL: no $deb"; exit 1; }
echo "package: $(basename "$deb"), $(stat -c %s "$deb") bytes"

# ---- file list: every regular file, nothing else
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { sub(/^\.\//, "", $6); print $6 }' | sort >"$work/files"
sort >"$work/expected" <<FILES
usr/bin/qm7
usr/bin/qm7-capture
usr/bin/qm7-pack
usr/share/applications/qm7.desktop
usr/share/doc/qm7/changelog.gz
usr/share/doc/qm7/copyright
usr/share/icons/hicolor/128x128/apps/qm7.png
usr/share/icons/hicolor/16x16/apps/qm7.png
usr/share/icons/hicolor/256x256/apps/qm7.png
usr/share/icons/hicolor/32x32/apps/qm7.png
usr/share/icons/hicolor/48x48/apps/qm7.png
usr/share/icons/hicolor/64x64/apps/qm7.png
usr/share/man/man1/qm7-capture.1.gz
usr/share/man/man1/qm7-pack.1.gz
usr/share/man/man6/qm7.6.gz
usr/share/metainfo/org.example.qm7.metainfo.xml
usr/share/qm7/qm7.dat
usr/share/qm7/qm7.it
FILES
if ! diff -u "$work/expected" "$work/files"; then
  echo "FAIL: the package's files differ from the list above (- expected, + in the package)"; fail=1
fi
dpkg-deb -c "$deb" | awk '$2 != "root/root" { print "FAIL: not owned by root: " $0; bad=1 } END { exit bad }' || fail=1

# ---- control fields
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for lib in libc6 libstdc++6 libsdl2-2.0-0 libopenmpt0 libpng16-16; do
  check "Depends lacks $lib" awk -v lib="$lib" 'BEGIN { RS = ", " } $1 == lib { found = 1 } END { exit !found }' <<<"$depends"
done
check "Depends names a development package" bash -c '! grep -q -- "-dev" <<<"$1"' _ "$depends"
check "Version is not $version" test "$(dpkg-deb -f "$deb" Version)" = "$version"
check "Architecture is not $arch" test "$(dpkg-deb -f "$deb" Architecture)" = "$arch"

# ---- the packaged programs, unpacked into a temporary root
root="$work/root"
dpkg-deb -x "$deb" "$root"
bin="$root/usr/bin"
case $arch in
  amd64) machine="x86-64" ;;
  arm64) machine="ARM aarch64" ;;
  *) machine="" ;;
esac
for program in qm7 qm7-capture qm7-pack; do
  if [ -n "$machine" ] && command -v file >/dev/null 2>&1; then
    check "$program is not built for $arch" bash -c 'file -b "$1" | grep -q "$2"' _ "$bin/$program" "$machine"
  fi
  out=$("${runner[@]}" "$bin/$program" --version)
  check "$program --version said '$out'" test "$out" = "$program $version"
done
for page in man6/qm7.6 man1/qm7-capture.1 man1/qm7-pack.1; do
  check "manual page $page is empty or unreadable" bash -c 'zcat "$1" | grep -q "^\.SH"' _ "$root/usr/share/man/$page.gz"
done
check "the desktop entry does not start qm7" grep -qx "Exec=qm7" "$root/usr/share/applications/qm7.desktop"

mkdir "$work/elsewhere"
cd "$work/elsewhere"
if "${runner[@]}" "$bin/qm7-capture" --frames 50 --trace "$work/packaged.tsv" >"$work/capture.out" 2>&1; then
  "${runner[@]}" "$build/tools/capture/qm7-capture" --data "$build/data" --frames 50 --trace "$work/built.tsv" >/dev/null 2>&1
  check "the packaged capture drew other frames than the build's" cmp -s "$work/packaged.tsv" "$work/built.tsv"
  check "the capture trace has not 50 frames" test "$(($(wc -l <"$work/packaged.tsv") - 1))" = 50
else
  cat "$work/capture.out"; echo "FAIL: the packaged qm7-capture --frames 50"; fail=1
fi

# qm7 on SDL's dummy drivers: no window or sound card needed; SIGTERM is a
# close request, which ends it with 0.
SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy QM7_STATS=1 "${runner[@]}" "$bin/qm7" >"$work/qm7.out" 2>"$work/qm7.err" &
pid=$!
# Under an emulator start-up alone takes seconds: it plays longer there.
play=3
[ -z "$emulator" ] || play=12
sleep "$play"
kill -TERM "$pid" 2>/dev/null || true
status=0
wait "$pid" || status=$?
loop_frames=$(sed -n 's/.*(\([0-9]*\) by the main loop).*/\1/p' "$work/qm7.err")
if [ "$status" != 0 ] || [ -z "$loop_frames" ] || [ "$loop_frames" -lt 10 ]; then
  cat "$work/qm7.err"; echo "FAIL: the packaged qm7: exit status $status, ${loop_frames:-no} main-loop frames"; fail=1
else
  echo "packaged qm7: $loop_frames main-loop frames in $play s, exit status 0"
fi
cd "$work"

# ---- AppStream metainfo: valid without a warning (no network: the
# validator would otherwise fetch what the file links to)
metainfo="$root/usr/share/metainfo/org.example.qm7.metainfo.xml"
if command -v appstreamcli >/dev/null 2>&1; then
  if ! appstreamcli validate --no-net --explain "$metainfo" >"$work/appstream.txt" 2>&1; then
    cat "$work/appstream.txt"; echo "FAIL: appstreamcli validate"; fail=1
  else
    echo "appstreamcli: $(tail -n 1 "$work/appstream.txt")"
  fi
else
  echo "FAIL: appstreamcli not installed (apt-get install appstream)"; fail=1
fi
check "the metainfo does not name release $version" grep -q "<release version=\"$version\"" "$metainfo"
check "the metainfo does not launch qm7.desktop" \
  grep -q '<launchable type="desktop-id">qm7.desktop</launchable>' "$metainfo"

# ---- lintian: no errors; warnings and notes are printed
if command -v lintian >/dev/null 2>&1; then
  lintian --info --display-info "$deb" >"$work/lintian.txt" 2>&1 || true
  grep -E "^[EWI]: " "$work/lintian.txt" || echo "lintian: nothing to report"
  if grep -q "^E: " "$work/lintian.txt"; then echo "FAIL: lintian reports errors"; fail=1; fi
else
  echo "lintian not installed: not run"
fi
exit $fail
