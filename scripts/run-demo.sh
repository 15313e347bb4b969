#!/bin/bash
# The demo proper, on an existing build (inside xvfb-run).
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
source "$root/scripts/wine-env.sh"
cd "$build"
echo "== the version rule: each variant of the stand-in client loads zVelmora.dll"
for host in zvhost zvhost_old zvhost_2006 zvhost_2006s zvhost_long zvhost_longs zvhost_noconnect zvhost_nooptional; do
  echo "-- $host"
  wine "tools/standin/$host.exe" --probe zVelmora.dll | grep -E 'version text|LoadLibrary|exports found|verdict|name:|vendor:|version:|description:|-> [^0]'
done

echo
echo "== the hold cycle in the stand-in mail client (virtual clock, timer every 300 ms)"
# The client prints "SCREENSHOT <name>" and waits for <name>.done: the picture of the screen is
# taken here, outside Wine, while the dialog is up.
shots="$build/demo-shots"
rm -rf "$shots" && mkdir -p "$shots"
crop=()
wine tools/standin/zvhost.exe --scenario scenarios/demo.txt --shots "$(winepath -w "$shots")" |
  while IFS= read -r line; do
    line=${line%$'\r'}
    case "$line" in
      # The dialog's rectangle, WxH+X+Y, announced just before its screenshot.
      "DIALOG-AREA "*) set -- $line; crop=(-crop "$3" +repage) ;;
      "SCREENSHOT "*)
        name=${line#SCREENSHOT }
        import -window root "${crop[@]}" "$shots/$name.png" && echo "   (screenshot: $shots/$name.png)"
        crop=()
        touch "$shots/$name.done" ;;
      *) echo "$line" ;;
    esac
  done
status=${PIPESTATUS[0]}
rm -f "$shots"/*.done
echo "== hold-cycle demo finished with exit code $status"
