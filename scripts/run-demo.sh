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
source "$root/scripts/scenario-shots.sh"
run_scenario_with_shots 'scenarios\demo.txt' "$build/demo-shots"
status=$?
echo "== hold-cycle demo finished with exit code $status"
exit "$status"
