#!/usr/bin/env bash
# The ctest entry of the on-the-air tests: prepares the machine in VMDIR, then boots it
# and runs GUEST_DIR/guest.sh with the test program inside. Skips (exit 77, one line
# saying why) only where qemu cannot run at all; everything else that goes wrong fails.
#   usage: ctest-entry.sh VMDIR GUEST_DIR TEST_PROGRAM
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
vmdir=$1
guest_dir=$2
program=$3
if ! qemu-system-x86_64 -version > /dev/null 2>&1; then
  echo "SKIPPED: qemu-system-x86_64 cannot run here (install qemu-system-x86)"
  exit 77
fi
start=$(date +%s)
bash "$here/prepare.sh" "$vmdir" > /dev/null
# The guest's /tmp is its own: what it runs must sit in a folder the host shares.
entry=$vmdir/guest-entry.sh
printf 'cd %q && exec sh ./guest.sh %q --gtest_color=no\n' "$guest_dir" "$program" > "$entry"
set +e
# Eleven radios, sixty access points and a test program built with the sanitizers (its
# quarantine of freed memory) outgrow the 256 MB the machine has by default.
KESTO_VM_MEMORY=${KESTO_VM_MEMORY:-512} KESTO_VM_PATHS="$vmdir:$guest_dir:$program" \
  bash "$here/run.sh" "$vmdir" "$entry" 600
rc=$?
set -e
echo "linuxwlan_vm: $(( $(date +%s) - start )) s in all, exit $rc"
exit "$rc"
