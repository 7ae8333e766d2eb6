# preflight.sh — sourced by the test scripts (and by x_session.sh and
# sound_server.sh) before they start anything:
#   need_tools TOOL...  exits 77 (skipped) when a tool is not on the PATH;
#   need_data DIR       exits 1 when DIR lacks qm7.dat or qm7.it.
need_tools() {
  local tool
  for tool in "$@"; do
    command -v "$tool" >/dev/null 2>&1 || { echo "$tool not found: skipping"; exit 77; }
  done
}
need_data() {
  local f
  for f in qm7.dat qm7.it; do
    [ -f "$1/$f" ] || { echo "missing $1/$f (build the 'data' target)"; exit 1; }
  done
}
