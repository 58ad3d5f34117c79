#!/usr/bin/env bash
# Builds the native tree (build/: Brume7.so, brume7-host, tests) and the
# Windows trees (build-win32/ and build-win64/: BRM7.dll, brume7-host.exe and
# their tests). Pass --werror for warnings as errors, --native to skip the
# Windows builds.
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
  for bits in 32 64; do
    toolchain=cmake/mingw-i686.cmake
    [ $bits = 64 ] && toolchain=cmake/mingw-x86_64.cmake
    cmake -S . -B build-win$bits -G Ninja -DCMAKE_BUILD_TYPE=Release -DBRUME7_WERROR=$werror \
          -DCMAKE_TOOLCHAIN_FILE=$toolchain >/dev/null
    ninja -C build-win$bits -j "$jobs"
  done
fi
