#!/usr/bin/env bash
# Builds the native tree (build/: Brume7.so, brume7-host, tests) and the
# 32-bit Windows tree (build-win32/: BRM7.dll, its tests). Pass --werror for
# warnings as errors, --native to skip the Windows build.
set -eu
cd "$(dirname "$0")/.."

werror=OFF
windows=true
for argument in "$@"; do
  case "$argument" in
    --werror) werror=ON ;;
    --native) windows=false ;;
    *) echo "usage: build.sh [--werror] [--native]" >&2; exit 2 ;;
  esac
done

jobs=$(nproc)
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBRUME7_WERROR=$werror >/dev/null
ninja -C build -j "$jobs"

if $windows; then
  cmake -S . -B build-win32 -G Ninja -DCMAKE_BUILD_TYPE=Release -DBRUME7_WERROR=$werror \
        -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake >/dev/null
  ninja -C build-win32 -j "$jobs"
fi
