#!/usr/bin/env bash
# run_browsers.sh — the web checks (tests/web/browser_test.py) in each engine.
#   tests/web/run_browsers.sh ROOT OUT [ENGINE...]   (default: chromium firefox webkit)
# Chromium runs headless; Firefox and WebKit each as a real window on an X
# server of their own (1920x1080, openbox) beside a sound server of their
# own. OUT/ENGINE receives each one's screenshots and figures. Exits 1 when
# any engine's checks fail, after running them all.
set -uo pipefail
root=$1 out=$2
shift 2
[ $# -gt 0 ] || set -- chromium firefox webkit
support="$root/tests/support"
failed=()
for engine in "$@"; do
  started=$SECONDS
  case $engine in
    chromium) /usr/bin/python3 "$root/tests/web/browser_test.py" "$root" "$out/$engine" ;;
    firefox|webkit)
      "$support/x_session.sh" 1920x1080 openbox "$support/sound_server.sh" \
        /usr/bin/python3 "$root/tests/web/browser_test.py" "$root" "$out/$engine" --engine "$engine" ;;
    *) echo "run_browsers.sh: no engine named $engine" >&2; false ;;
  esac || failed+=("$engine")
  echo "== web $engine: $((SECONDS - started)) s"
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "web checks failed in: ${failed[*]}"
  exit 1
fi
