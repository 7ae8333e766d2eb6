#!/usr/bin/env bash
# qm7_command_line.sh QM7 VERSION DATA_DIR [EMULATOR] — the qm7 program's
# command line and data search, run as a user would (SDL's dummy video and
# audio drivers, so no display or sound card is needed; a cross build's
# program under EMULATOR):
#   - --help and --version print to standard output and exit 0;
#   - a bad command line prints the usage on standard error, nothing on
#     standard output, and exits 2 before anything starts;
#   - --data with a folder that does not exist fails with 1 and names it;
#   - started in an empty folder, with no data beside the program either,
#     start-up fails with 1 and the message lists every folder looked in;
#   - --data DIR plays from any working folder (stopped by SIGTERM, which
#     is a close request and ends with 0).
set -uo pipefail
qm7=$1 version=$2 data=$3
runner=()  # what starts the program: nothing natively, else the emulator
[ -z "${4:-}" ] || runner=("$4")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail=0
expect() {  # expect WHAT ACTUAL WANTED
  if [ "$2" != "$3" ]; then echo "FAIL: $1: got '$2', wanted '$3'"; fail=1; fi
}
contains() {  # contains WHAT FILE TEXT
  if ! grep -qF -- "$3" "$2"; then echo "FAIL: $1: no '$3' in:"; cat "$2"; fail=1; fi
}
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
mkdir "$work/empty"
cd "$work/empty"

"${runner[@]}" "$qm7" --help >"$work/out" 2>"$work/err"
expect "--help status" $? 0
contains "--help" "$work/out" "Usage: qm7 [--window] [--data DIR]"
contains "--help" "$work/out" "Alt+Enter or F11"

expect "--version" "$("${runner[@]}" "$qm7" --version)" "qm7 $version"

for args in "--fullscreen" "--data" "stray" "--window --bogus" "--data="; do
  # shellcheck disable=SC2086
  "${runner[@]}" "$qm7" $args >"$work/out" 2>"$work/err"
  expect "status for '$args'" $? 2
  contains "usage line for '$args'" "$work/err" "Usage: qm7"
  expect "standard output for '$args'" "$(cat "$work/out")" ""
done

"${runner[@]}" "$qm7" --data "$work/nowhere" >"$work/out" 2>"$work/err"
expect "--data nowhere status" $? 1
contains "--data nowhere" "$work/err" "Can't use the data folder $work/nowhere"

# No data here, beside the program, or installed (a copy of the program in a
# bin folder of its own keeps the build's folders out of the search).
mkdir -p "$work/prefix/bin"
cp "$qm7" "$work/prefix/bin/qm7"
"${runner[@]}" "$work/prefix/bin/qm7" >"$work/out" 2>"$work/err"
expect "no data status" $? 1
contains "no data" "$work/err" "were looked for in: $work/empty, $work/prefix/bin, $work/prefix/share/qm7"

"${runner[@]}" "$work/prefix/bin/qm7" --window --data "$data" >"$work/out" 2>"$work/err" &
pid=$!
sleep 2
kill -TERM "$pid" 2>/dev/null
wait "$pid"
expect "--data DIR run status (stopped by SIGTERM)" $? 0
contains "--data DIR run" "$work/out" "....."
exit $fail
