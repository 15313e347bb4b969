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

source "$root/scripts/scenario-shots.sh"
run_scenario_with_shots 'scenarios\ui_demo_screens.txt' "$out" quiet
run_scenario_with_shots 'scenarios\confirm_screen.txt' "$out" quiet
run_scenario_with_shots 'scenarios\confirm_bcc_screen.txt' "$out" quiet
