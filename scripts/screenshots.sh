#!/bin/bash
# Takes the README's pictures of the plug-in's dialogs from the real windows in the stand-in
# client (inside xvfb-run, on an existing build). Usage: screenshots.sh [output folder]
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
out=$(realpath -m "${1:-$root/docs}")
mkdir -p "$out"
source "$root/scripts/wine-env.sh"
cd "$build"

shots=$(mktemp -d /tmp/zv-shots.XXXXXX)
# The client prints "SCREENSHOT <name>" (after "DIALOG-AREA <name> WxH+X+Y", or with the area
# as a third word) and waits for <name>.done; the picture is cropped to that area when known.
wine tools/standin/zvhost.exe --scenario 'scenarios\ui_demo_screens.txt' \
  --shots "$(winepath -w "$shots")" 2>&1 |
  while IFS= read -r line; do
    line=${line%$'\r'}
    case "$line" in
      "DIALOG-AREA "*)
        set -- ${line#DIALOG-AREA }
        area=${2:-} ;;
      "SCREENSHOT "*)
        set -- ${line#SCREENSHOT }
        name=$1
        area=${2:-${area:-}}
        if [ -n "$area" ]; then crop=(-crop "$area" +repage); else crop=(); fi
        import -window root "${crop[@]}" "$out/$name.png" && echo "wrote $out/$name.png"
        touch "$shots/$name.done"
        area="" ;;
      *"result:"* | *FAIL*) echo "$line" ;;
    esac
  done
status=${PIPESTATUS[0]}
rm -rf "$shots"
exit "$status"
