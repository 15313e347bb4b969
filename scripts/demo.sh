#!/bin/bash
# Installs what is missing, builds, and runs the demo in the stand-in mail client.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
xvfb-run -a -s "-screen 0 1280x1024x24" "$root/scripts/run-demo.sh"
