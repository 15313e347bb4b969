#!/bin/bash
# Fails when a tracked text file still holds a merge's conflict markers.
set -euo pipefail
cd "$(dirname "$0")/.."
# -I skips binary files; the markers are whole lines of seven characters.
if git grep -nI -E '^(<{7}( |$)|={7}$|>{7}( |$))' -- . ; then
  echo "merge markers left in the files above"
  exit 1
fi
