#!/bin/bash
# Installs what the build and the tests need, skipping what is already there.
set -euo pipefail

PACKAGES=(locales cmake ninja-build g++-mingw-w64-i686-posix binutils-mingw-w64-i686 googletest
  wine wine32:i386 wine64 xvfb xauth fonts-noto-cjk fonts-wine imagemagick
  clang libclang-rt-14-dev libbenchmark-dev libgmime-3.0-dev pkg-config clang-format locales)

missing=()
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
  need_update=1
fi
for package in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
elif [ -n "${need_update:-}" ]; then
  apt-get update -qq
fi
