#!/bin/bash
# Installs what is missing, builds, and runs every test: Wine tests (the policy scenarios also in
# a 64-bit prefix), the release zip as a user gets it and built twice alike, then the native
# sanitizer and fuzz runs.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/check-merge-markers.sh"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
xvfb-run -a -s "-screen 0 1280x1024x24" "$root/scripts/run-tests.sh"
# The policy scenarios again under 64-bit Windows' WoW64, the machine's policy written by the
# 64-bit reg.exe as Group Policy writes it.
ZV_WINEARCH=win64 xvfb-run -a -s "-screen 0 1280x1024x24" "$root/scripts/run-tests.sh" \
  -R '^e2e_policy$'
zip=$("$root/scripts/release.sh" | tail -1)
xvfb-run -a -s "-screen 0 1280x1024x24" "$root/scripts/check-release.sh" "$zip"
"$root/scripts/check-reproducible.sh"
if [ -x "$root/scripts/native-tests.sh" ]; then
  "$root/scripts/native-tests.sh"
fi
echo "all tests passed"
