#!/bin/bash
# Builds the release twice from the committed HEAD, in two fresh clones under folders of
# different names and lengths, and requires byte-identical DLLs and zips.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d /tmp/zv-repro.XXXXXX)
trap 'rm -rf "$work"' EXIT
commit=$(git -C "$root" rev-parse HEAD)
trees=(a "second tree, longer")
pids=()
for tree in "${trees[@]}"; do
  git clone -q --no-checkout "$root" "$work/$tree"
  git -C "$work/$tree" checkout -q --detach "$commit"
  # Both at once, one job each: the same time as one build on two cores.
  BUILD_DIR="$work/$tree/build" JOBS=1 "$work/$tree/scripts/release.sh" >"$work/$tree.log" 2>&1 &
  pids+=($!)
done
for i in 0 1; do
  wait "${pids[$i]}" || { tail -20 "$work/${trees[$i]}.log"; echo "release build in '${trees[$i]}' failed" >&2; exit 1; }
done
zips=()
for tree in "${trees[@]}"; do
  zips+=("$(tail -1 "$work/$tree.log")")
done
[ "$(basename "${zips[0]}")" = "$(basename "${zips[1]}")" ] || { echo "zip names differ: ${zips[*]}" >&2; exit 1; }
cmp "$work/${trees[0]}/build/zVelmora.dll" "$work/${trees[1]}/build/zVelmora.dll"
cmp "${zips[0]}" "${zips[1]}"
# Two links in the same second would hide a time stamp from cmp.
stamp=$(i686-w64-mingw32-objdump -p "$work/${trees[0]}/build/zVelmora.dll" | awk '/^Time\/Date stamp/ {print $NF}')
if [ "$stamp" != 0 ]; then
  echo "the DLL's header carries a link time stamp" >&2
  exit 1
fi
if strings -a "$work/${trees[1]}/build/zVelmora.dll" | grep -F "$work"; then
  echo "the DLL holds a build path" >&2
  exit 1
fi
sha256sum "${zips[@]}" | sed "s|$work/||"
echo "reproducible: $(basename "${zips[0]}"), $(stat -c %s "${zips[0]}") bytes, identical in both trees"
