#!/usr/bin/env bash
# Collects the fuzz targets' seed inputs from the project's own resources and tests into
# OUT/<target>/ (default: build-fuzz/seeds). Seeds are inputs the programs really read:
# the shipped INI, scenario and pages, the .reg texts and message lines the tests use.
# The pages are the assembled ones of a build: PAGES (default: the pages of the build
# folder OUT is in, OUT/../share/kesto/pages).
#
#   scripts/fuzz-seeds.sh [OUT [PAGES]]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$here/build-fuzz/seeds}
pages=${2:-$(dirname "$out")/share/kesto/pages}
ls "$pages"/[0-9]*.html >/dev/null 2>&1 ||
  { echo "fuzz-seeds.sh: no assembled pages in $pages (build the target kesto_page_files)" >&2; exit 1; }
rm -rf "$out"
mkdir -p "$out"/{fuzz_reg_file,fuzz_adapter_ini,fuzz_scenario,fuzz_page_scan,fuzz_message_codec,fuzz_survey_records,fuzz_control_replies}

n=0
seed() { n=$((n + 1)); cat >"$out/$1/seed-$n"; }

# Adapter INI and scenarios: the shipped files and the tests' own.
cp "$here/resources/QVWlan.INI" "$out/fuzz_adapter_ini/"
find "$here/tests" -iname '*.ini' -exec cp {} "$out/fuzz_adapter_ini/" \;
cp "$here"/resources/scenarios/*.json "$out/fuzz_scenario/"
find "$here/tests" -name '*.json' -exec cp {} "$out/fuzz_scenario/" \;

# Pages: every shipped page.
cp "$pages"/[0-9]*.html "$out/fuzz_page_scan/"

# .reg texts: the files in the tree and the texts of the .reg tests (C string literals
# starting with one of the two headers, with their escapes undone).
find "$here" -path "$here/build*" -prune -o -name '*.reg' -print -exec cp {} "$out/fuzz_reg_file/" \; >/dev/null
python3 - "$here/tests/registry/RegFileTest.cpp" "$here/tests/tools/kestoctl/KestoctlTest.cpp" \
    "$out/fuzz_reg_file" <<'PY'
import ast, re, sys, pathlib

def joined_escapes(text):
    # characters that the text writes as \xNN escapes
    return {chr(int(h, 16)) for h in re.findall(r"\\x([0-9A-Fa-f]{2})", text)}
out = pathlib.Path(sys.argv[-1])
count = 0
for source in sys.argv[1:-1]:
    text = pathlib.Path(source).read_text(encoding="utf-8")
    # Adjacent literals of one expression are joined, as the compiler joins them.
    for match in re.finditer(r'((?:"(?:[^"\\\n]|\\.)*"\s*)+)', text):
        parts = re.findall(r'"((?:[^"\\\n]|\\.)*)"', match.group(1))
        joined = "".join(parts)
        if not (joined.startswith("REGEDIT4") or joined.startswith("Windows Registry Editor")):
            continue
        try:
            # \xNN escapes become their byte; other text keeps its UTF-8 bytes.
            value = ast.literal_eval('"' + joined + '"')
            data = b"".join(bytes([ord(c)]) if ord(c) < 0x80 or c in joined_escapes(joined)
                            else c.encode("utf-8") for c in value)
        except Exception:
            continue
        count += 1
        (out / f"test-{count}.reg").write_bytes(data)
PY
printf 'REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Corvane]\r\n"Path"="C:\\\\x"\r\n@="d"\r\n"n"=dword:0000000a\r\n[-HKLM\\Software\\Alt]\r\n"v"=-\r\n' | seed fuzz_reg_file

# Message lines: the raw JSON lines of the codec's tests, one seed each.
python3 - "$here/tests/wire/MessageCodecTest.cpp" "$out/fuzz_message_codec" <<'PY'
import re, sys, pathlib
text = pathlib.Path(sys.argv[1]).read_text(encoding="utf-8")
out = pathlib.Path(sys.argv[2])
for i, line in enumerate(re.findall(r'R"\((\{.*?\})\)"', text)):
    (out / f"line-{i}").write_text(line + "\n", encoding="utf-8")
PY
# Scan buffers: a count, then records of the driver's layout (length, BSSID, name,
# privacy, RSSI, frequency, mode, information elements): open, WEP, WPA-PSK, WPA-RADIUS
# and a hidden network, alone and together.
python3 - "$out/fuzz_survey_records" <<'PY'
import struct, sys, pathlib
out = pathlib.Path(sys.argv[1])
def ies(name, km):
    e = bytes(12) + bytes([0, len(name)]) + name + bytes([1, 4, 0x82, 0x84, 0x8B, 0x96, 3, 1, 6])
    if km:
        e += bytes([221, 22]) + bytes([0x50]) * 21 + bytes([km])
    return e
def record(name, privacy, rssi, mhz, km=0):
    ie = ies(name, km)
    r = bytearray(116 + len(ie))
    struct.pack_into("<I6s", r, 0, len(r), bytes([0xA0, 1, 2, 3, 4, len(name)]))
    struct.pack_into("<I32s", r, 12, len(name), name)
    struct.pack_into("<Ii", r, 48, privacy, rssi)
    struct.pack_into("<I", r, 72, mhz * 1000)
    struct.pack_into("<I", r, 92, 1)
    struct.pack_into("<I", r, 112, len(ie))
    r[116:] = ie
    return bytes(r)
nets = [record(b"Buero", 0, -48, 2412), record(b"Labor", 1, -67, 2437),
        record(b"Gast-WPA", 1, -71, 2462, 2), record(b"Firma", 1, -80, 2472, 1),
        record(b"", 0, -90, 2484)]
for i, n in enumerate(nets):
    (out / f"one-{i}").write_bytes(struct.pack("<i", 1) + n)
(out / "all").write_bytes(struct.pack("<i", len(nets)) + b"".join(nets))
PY

# Daemon replies: the recorded and broken replies of the reply parsers' and the survey
# encoder's tests (C string literals, adjacent ones joined, escapes undone).
python3 - "$here/tests/drivers/linuxwlan/ControlRepliesTest.cpp" \
    "$here/tests/drivers/linuxwlan/SurveyRecordEncoderTest.cpp" \
    "$out/fuzz_control_replies" <<'PY'
import ast, re, sys, pathlib
out = pathlib.Path(sys.argv[-1])
count = 0
for source in sys.argv[1:-1]:
    text = pathlib.Path(source).read_text(encoding="utf-8")
    for match in re.finditer(r'((?:"(?:[^"\\\n]|\\.)*"\s*)+)', text):
        joined = "".join(re.findall(r'"((?:[^"\\\n]|\\.)*)"', match.group(1)))
        if len(joined) < 4 or joined.endswith((".h", ".cpp")):
            continue
        try:
            value = ast.literal_eval('"' + joined + '"')
            try:
                data = value.encode("latin-1")
            except UnicodeEncodeError:
                data = value.encode("utf-8")
        except Exception:
            continue
        count += 1
        (out / f"reply-{count}").write_bytes(data)
PY

echo "seeds in $out: $(find "$out" -type f | wc -l) files"
