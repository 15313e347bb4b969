#!/bin/bash
# The release zip as a user gets it (inside xvfb-run, on an existing build): unpacked into a
# fresh folder it holds exactly its files (the policy templates among them, and the Event
# Viewer's custom view, well-formed XML), SHA256SUMS verifies, the guide is CP932 text with
# CR LF that fits 80 columns and reads well (no label split, no stray last characters, no raw
# table), the guide's facts match the code, and the demo scenario runs in the stand-in client
# from the unpacked DLL.
# Usage: check-release.sh dist/zVelmora-<version>...zip
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
zip=$(realpath "${1:?usage: check-release.sh ZIP}")
unpacked=$(mktemp -d /tmp/zv-release.XXXXXX)
trap 'rm -rf "$unpacked"' EXIT

python3 - "$zip" "$unpacked" <<'PY'
import re, sys, zipfile
import xml.etree.ElementTree as ElementTree
zip_path, folder = sys.argv[1:]
with zipfile.ZipFile(zip_path) as archive:
    names = archive.namelist()
    archive.extractall(folder)
expected = ["zVelmora.dll", "zVelmora.txt", "LICENSE.txt", "policy/zVelmora.admx",
            "policy/ja-JP/zVelmora.adml", "policy/en-US/zVelmora.adml",
            "policy/zVelmora-policy-sample.reg", "policy/zVelmora-eventlog.reg",
            "policy/zVelmora-events.xml", "SHA256SUMS"]
if names != expected:
    sys.exit(f"zip holds {names}, not {expected}")
try:
    ElementTree.parse(f"{folder}/policy/zVelmora-events.xml")
except ElementTree.ParseError as error:
    sys.exit(f"policy/zVelmora-events.xml is not well-formed: {error}")
data = open(f"{folder}/zVelmora.txt", "rb").read()
text = data.decode("cp932")  # strict: any byte that is not CP932 fails here
if "\ufffd" in text:
    sys.exit("the guide holds a replacement character")
if re.search(rb"(?<!\r)\n|\r(?!\n)", data):
    sys.exit("the guide has a line end other than CR LF")
version = re.search(r"zVelmora-(\d+\.\d+\.\d+\.\d+)", zip_path).group(1)
if f"バージョン {version}" not in text.splitlines()[0]:
    sys.exit(f"the guide's heading does not name version {version}")
print(f"zip: {names}; guide: {len(text)} characters, {text.count(chr(10))} lines, CP932, CR LF")
PY
(cd "$unpacked" && sha256sum --strict -c SHA256SUMS)
# Notepad does not wrap: no line wider than 80 columns, no forbidden break, Shift-JIS only; a
# label, quote or code span on one line so that search finds it; no line of one or two
# characters ending a paragraph; tables as columns, not Markdown.
python3 "$root/scripts/guide_text.py" --check "$unpacked/zVelmora.txt"
# The guide's facts against the code: the table of keys and the catalogues of log lines and
# events as the native programs print them, the custom view's events, no log text outside the
# functions that make them, and every quoted text still in the product.
native=${NATIVE_BUILD_DIR:-$root/build-native}
CXX=clang++ cmake -G Ninja -S "$root/native" -B "$native" >/dev/null
cmake --build "$native" -j "${JOBS:-2}" --target key_table_dump log_catalogue event_catalogue >/dev/null
python3 "$root/scripts/guide_facts.py" --check "$native"

source "$root/scripts/wine-env.sh"
trap 'wine_cleanup; rm -rf "$unpacked"' EXIT
cd "$build"
plugin=$(winepath -w "$unpacked/zVelmora.dll")
log=$(wine tools/standin/zvhost.exe --plugin "$plugin" --scenario 'scenarios\demo.txt' 2>&1 | tr -d '\r') || {
  echo "$log" | tail -20
  echo "the demo failed with the unpacked DLL" >&2
  exit 1
}
# The client names the DLL it loaded: it must be the unpacked one, not the build's.
echo "$log" | grep -F "LoadLibrary($plugin): " | grep -q "callbacks found" ||
  { echo "the stand-in client did not load $plugin" >&2; exit 1; }
echo "$log" | grep "result:"
echo "release zip checked: $(basename "$zip")"
