#!/usr/bin/env bash
# stage_skips_test.sh ROOT — what test.sh skips on which machine, with the
# architecture forced through QM7_ARCH:
#   - amd64 runs every stage; arm64 skips the Windows stage (Wine there runs
#     no x86-64 Windows programs) and the arm64 cross stage (its own Release
#     suite is the arm64 run); another architecture skips both;
#   - a QM7_NO_* switch names itself as the reason, before the machine's;
#   - dpkg's aarch64/x86_64 spellings count as arm64/amd64;
#   - build-arm64.sh on an arm64 machine says that build/release is the arm64
#     build and builds nothing; package-deb.sh refuses an architecture it
#     cannot make.
set -uo pipefail
root=$1
fail=0
skips() {  # skips VAR=VALUE... — the stage names qm7_stage_skips prints, comma-separated
  env -u QM7_NO_WEB -u QM7_NO_SANITIZE -u QM7_NO_WINDOWS -u QM7_NO_ARM64 "$@" \
    bash -c 'source "$1/scripts/machine.sh"; qm7_stage_skips' _ "$root" | cut -f1 | paste -sd,
}
reason() {  # reason STAGE VAR=VALUE... — why qm7_stage_skips skips STAGE
  local stage=$1; shift
  env -u QM7_NO_WINDOWS -u QM7_NO_ARM64 "$@" \
    bash -c 'source "$1/scripts/machine.sh"; qm7_stage_skips' _ "$root" | awk -F'\t' -v s="$stage" '$1 == s { print $2 }'
}
expect() {  # expect WHAT ACTUAL WANTED
  if [ "$2" != "$3" ]; then echo "FAIL: $1: got '$2', wanted '$3'"; fail=1; fi
}

# arch | switches | stages skipped
while IFS='|' read -r arch switches wanted; do
  # shellcheck disable=SC2086  # the switches are words
  expect "QM7_ARCH=$arch $switches" "$(skips QM7_ARCH="$arch" $switches)" "$wanted"
done <<'TABLE'
amd64||
x86_64||
arm64||windows,arm64
aarch64||windows,arm64
riscv64||windows,arm64
amd64|QM7_NO_ARM64=1|arm64
amd64|QM7_NO_WEB=1 QM7_NO_SANITIZE=1 QM7_NO_WINDOWS=1 QM7_NO_ARM64=1|web,sanitizers and fuzzing,windows,arm64
arm64|QM7_NO_WEB=1|web,windows,arm64
TABLE

expect "arm64's reason for windows" "$(reason windows QM7_ARCH=arm64)" "Wine on arm64 runs no x86-64 Windows programs"
expect "arm64's reason for arm64" "$(reason arm64 QM7_ARCH=arm64)" \
  "this machine is arm64: the Release suite is the arm64 run"
expect "a switch's reason" "$(reason windows QM7_ARCH=arm64 QM7_NO_WINDOWS=1)" "QM7_NO_WINDOWS=1"

out=$(QM7_ARCH=arm64 "$root/scripts/build-arm64.sh" 2>&1)
expect "build-arm64.sh on arm64: status" "$?" 0
case $out in
  *"this machine is arm64"*) ;;
  *) echo "FAIL: build-arm64.sh on arm64 said: $out"; fail=1 ;;
esac
out=$("$root/scripts/package-deb.sh" --arch mips64el "$(mktemp -d)" 2>&1)
expect "package-deb.sh --arch mips64el: status" "$?" 2
exit $fail
