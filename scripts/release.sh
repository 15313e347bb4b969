#!/bin/bash
# Builds the plug-in and packs dist/zVelmora-<version>.zip: the DLL, the Japanese guide as
# Shift-JIS text with CR LF, the licence, the Group Policy templates with a sample .reg file,
# the Event Log's source registration and custom view (policy/) and SHA256SUMS. A build that
# is not exactly a tagged commit says so in its name (-g<commit>, -dirty). On any failure
# nothing is left in dist/.
# Honours BUILD_DIR and JOBS like build.sh; prints the zip's path last.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
dist=$root/dist

fail() {
  echo "release: $*" >&2
  exit 1
}

cmake -G Ninja -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" >/dev/null ||
  fail "configuring the build in $build failed"
cmake --build "$build" -j "${JOBS:-2}" --target zVelmora || fail "building zVelmora.dll failed"

version=$(sed -n 's/^#define VELMORA_VERSION_TEXT "\(.*\)"$/\1/p' "$build/generated/velmora_version.h")
[[ "$version" =~ ^[0-9]+\.[0-9]+\.[0-9]+\.[0-9]+$ ]] || fail "no version in $build/generated/velmora_version.h"
# The resource holds its texts in UTF-16: the DLL must carry the version it is named after.
python3 -c 'import sys; sys.exit(sys.argv[2].encode("utf-16-le") not in open(sys.argv[1], "rb").read())' \
  "$build/zVelmora.dll" "$version" || fail "zVelmora.dll does not carry version $version"

cd "$root"
name=zVelmora-$version
if ! git describe --exact-match --tags --match "v$version" --match "$version" HEAD >/dev/null 2>&1; then
  name+=-g$(git rev-parse --short=10 HEAD)
fi
[ -z "$(git status --porcelain)" ] || name+=-dirty
stamp=$(git log -1 --format=%ct)

mkdir -p "$dist"
stage=$(mktemp -d "$dist/.stage.XXXXXX")
trap 'rm -rf "$stage"' EXIT
cp "$build/zVelmora.dll" "$stage/zVelmora.dll"
python3 "$root/scripts/guide_text.py" "$root/docs/ja/README.md" "$version" "$stage/zVelmora.txt" ||
  fail "the guide docs/ja/README.md cannot become the text guide"
sed 's/$/\r/' "$root/LICENSE" >"$stage/LICENSE.txt"
policy=(policy/zVelmora.admx policy/ja-JP/zVelmora.adml policy/en-US/zVelmora.adml
  policy/zVelmora-policy-sample.reg policy/zVelmora-eventlog.reg policy/zVelmora-events.xml)
for file in "${policy[@]}"; do
  install -D -m 644 "$root/$file" "$stage/$file"
done
(cd "$stage" && sha256sum zVelmora.dll zVelmora.txt LICENSE.txt "${policy[@]}" >SHA256SUMS)
(cd "$stage" && python3 "$root/scripts/make_zip.py" "$stage/out.zip" "$stamp" \
  zVelmora.dll zVelmora.txt LICENSE.txt "${policy[@]}" SHA256SUMS) || fail "writing the zip failed"
mv -f "$stage/out.zip" "$dist/$name.zip"
echo "$dist/$name.zip"
