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
shots_win=$(winepath -w "$shots" 2>/dev/null)
# One picture: the window with that caption when it can be found, else the whole screen.
take() {
  local name=$1 caption=$2 id=""
  if command -v xwininfo >/dev/null; then
    id=$(xwininfo -root -tree | grep -F "\"$caption\"" | head -1 | awk '{print $1}')
  fi
  if [ -n "$id" ]; then
    import -window "$id" "$out/$name.png"
  else
    import -window root "$out/$name.png"
  fi
  echo "wrote $out/$name.png"
}

status=0
wine tools/standin/zvhost.exe --scenario 'scenarios\ui_demo_screens.txt' --shots "$shots_win" 2>&1 |
  while IFS= read -r line; do
    line=${line%$'\r'}
    case "$line" in
      *"SCREENSHOT setup-dialog"*) take setup-dialog "Velmora [Ver,2.0.2.0]" ;;
      *"SCREENSHOT text-entry-dialog"*) take text-entry-dialog "組織内ドメインの追加" ;;
      *"SCREENSHOT hold-list"*) take hold-list "送信保留リスト [営業部 山田]" ;;
      *"result:"*) echo "$line" ;;
      *FAIL*) echo "$line" ;;
    esac
    case "$line" in *SCREENSHOT*) touch "$shots/${line##*SCREENSHOT }.done" ;; esac
  done
status=${PIPESTATUS[0]}
rm -rf "$shots"
exit "$status"
