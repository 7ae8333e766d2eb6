# wine_prefix.sh — the Wine prefix the Windows checks run in, sourced by
# run_wine_tests.sh and wine_cost.sh after they export WINEPREFIX.
#   wine_prefix_ready     makes the prefix once (wineboot), marked .qm7-ready
#   wine_desktop on|off   a 640x480 virtual desktop (the program may then
#                         change the display mode) or none; set in the
#                         registry, so `wine qm7.exe` still returns the
#                         program's status. The setting is read when a Wine
#                         session starts: the running one is ended first.

wine_prefix_ready() {
  [ -f "$WINEPREFIX/.qm7-ready" ] && return 0
  echo "wine: preparing $WINEPREFIX (once)"
  wineboot -i >/dev/null 2>&1
  wineserver -w
  touch "$WINEPREFIX/.qm7-ready"
}

wine_desktop() {
  wineserver -k 2>/dev/null || true
  wineserver -w
  if [ "$1" = on ]; then
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 640x480 /f >/dev/null 2>&1
  else
    wine reg delete 'HKCU\Software\Wine\Explorer' /v Desktop /f >/dev/null 2>&1 || true
  fi
  wineserver -w
}
