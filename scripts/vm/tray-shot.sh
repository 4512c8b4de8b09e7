#!/usr/bin/env bash
# A look at the utility on the air: boots the test machine with room for the web engine,
# runs the utility there against a simulated radio joined to the machine's open access
# point, and saves the screenshot tour's pictures (status, survey, profiles) to OUT_DIR.
# Slow under software emulation (several minutes); not part of the tests.
#   usage: tray-shot.sh OUT_DIR [BUILD_DIR]   (BUILD_DIR: build/, with kesto-utility
#          and kesto-window built)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
src=$(cd "$here/../.." && pwd)
out=$(mkdir -p "$1" && cd "$1" && pwd)
build=$(cd "${2:-$src/build}" && pwd)
vmdir=$build/vm
bash "$here/prepare.sh" "$vmdir" > /dev/null
entry=$vmdir/tray-entry.sh
printf 'cd %q && exec sh ./tray-guest.sh %q %q\n' "$here" "$src" "$build" > "$entry"
log=$out/console.log
set +e
KESTO_VM_MEMORY=${KESTO_VM_MEMORY:-2048} bash "$here/run.sh" "$vmdir" "$entry" 1500 > "$log"
rc=$?
set -e
python3 - "$log" "$out" <<'PY'
import base64, pathlib, sys
lines = pathlib.Path(sys.argv[1]).read_text(errors="replace").splitlines()
out = pathlib.Path(sys.argv[2])
name, chunks = None, []
for line in lines:
    line = line.strip()
    if line.startswith("KESTO-PNG-BEGIN "):
        name, chunks = line.split(" ", 1)[1], []
    elif line == "KESTO-PNG-END" and name:
        (out / name).write_bytes(base64.b64decode("".join(chunks)))
        print("tray-shot.sh: wrote", out / name)
        name = None
    elif name:
        chunks.append(line)
PY
grep -E '^KESTO-SHOT|^(wpa_state|ssid|bssid|freq)=' "$log" || true
exit "$rc"
