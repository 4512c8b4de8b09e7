#!/usr/bin/env bash
# Boots the test machine (prepared by prepare.sh in VMDIR) and runs SCRIPT inside it
# with sh, in SCRIPT's folder, as root of the guest; the host's files are seen
# read-only, so SCRIPT and everything it runs must be on the host already. Exits with
# SCRIPT's exit code; 125 when the machine did not report one. The console goes to
# stdout. qemu's software emulation is used unless KESTO_VM_ACCEL names another.
#   usage: run.sh VMDIR SCRIPT [TIMEOUT_SECONDS]
set -euo pipefail
vmdir=$(realpath "$1")
script=$(realpath "$2")
timeout_s=${3:-600}
# The guest mounts a /tmp of its own: the host folders under /tmp that it must see (the
# script's, and those of KESTO_VM_PATHS, a colon-separated list) are named to it.
tmpshare=
for path in "$script" ${KESTO_VM_PATHS//:/ }; do
  path=$(realpath -m "$path")
  case $path in
    /tmp/?*)
      name=${path#/tmp/}
      name=${name%%/*}
      case ",$tmpshare," in *",$name,"*) ;; *) tmpshare=${tmpshare:+$tmpshare,}$name ;; esac ;;
  esac
done
log=$(mktemp)
trap 'rm -f "$log"' EXIT
set +e
timeout "$timeout_s" qemu-system-x86_64 \
  -machine q35 -accel "${KESTO_VM_ACCEL:-tcg}" -cpu max -m "${KESTO_VM_MEMORY:-256}" -smp 1 \
  -nodefaults -no-reboot -display none -serial stdio -monitor none \
  -kernel "$vmdir/vmlinuz" -initrd "$vmdir/initramfs.cpio.gz" \
  -append "console=ttyS0 quiet loglevel=3 panic=-1 kesto.cmd=$script kesto.modules=$vmdir/kernel/lib/modules${tmpshare:+ kesto.tmp=$tmpshare}" \
  -virtfs local,path=/,mount_tag=hostroot,security_model=none,readonly=on,multidevs=remap \
  < /dev/null | tee "$log"
set -e
rc=$(sed -n 's/^KESTO-VM-EXIT=\([0-9]*\).*/\1/p' "$log" | tail -n1)
[ -n "$rc" ] || { echo "run.sh: the machine reported no exit code" >&2; exit 125; }
exit "$rc"
