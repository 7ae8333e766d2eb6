# windows-deps.sh — the Windows cross toolchain. Sourced by build-windows.sh
# (after setup.sh); libopenmpt for it is qm7_libopenmpt mingw64 in setup.sh.
#   qm7_windows_toolchain       installs mingw-w64, Wine and icoutils (icotool
#                               joins the icons into one .ico) when missing
set -euo pipefail

QM7_WINDOWS_PACKAGES=(mingw-w64 g++-mingw-w64-x86-64-posix wine64 wine dpkg-dev icoutils)

qm7_windows_toolchain() {
  qm7_install_packages "${QM7_WINDOWS_PACKAGES[@]}"
}
