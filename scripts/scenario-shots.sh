# Sourced. run_scenario_with_shots SCENARIO OUTDIR [quiet]: runs a scenario in the stand-in
# client (from the build folder, inside the Wine prefix) and takes its screenshots.
# The client prints "DIALOG-AREA <name> WxH+X+Y" and then "SCREENSHOT <name>", and waits for
# <name>.done: the picture is taken here, outside Wine, cropped to the dialog while it is up.
run_scenario_with_shots() {
  local scenario=$1 out=$2 quiet=${3:-}
  local shots crop=() line name
  mkdir -p "$out"
  shots=$(mktemp -d /tmp/zv-shots.XXXXXX)
  wine tools/standin/zvhost.exe --scenario "$scenario" --shots "$(winepath -w "$shots")" 2>&1 |
    while IFS= read -r line; do
      line=${line%$'\r'}
      case "$line" in
        "DIALOG-AREA "*) set -- $line; crop=(-crop "$3" +repage) ;;
        "SCREENSHOT "*)
          set -- ${line#SCREENSHOT }
          name=$1
          [ -n "${2:-}" ] && crop=(-crop "$2" +repage)
          import -window root "${crop[@]}" "$out/$name.png" && echo "   (screenshot: $out/$name.png)"
          crop=()
          touch "$shots/$name.done" ;;
        *"result:"* | *FAIL*) echo "$line" ;;
        *) [ -z "$quiet" ] && echo "$line" ;;
      esac
    done
  local status=${PIPESTATUS[0]}
  rm -rf "$shots"
  return "$status"
}
