#!/usr/bin/env bash
# Builds the native tree (build/: Brume7.so, brume7-host, tests) and the
# Windows trees (build-win32/ and build-win64/: BRM7.dll, brume7-host.exe and
# their tests).
#   --werror   warnings as errors
#   --native   the native tree only
#   --product  the plug-ins and brume7-host only, without tests and benchmarks
set -eu
cd "$(dirname "$0")/.."

werror=OFF
windows=true
tests=ON
for argument in "$@"; do
  case "$argument" in
    --werror) werror=ON ;;
    --native) windows=false ;;
    --product) tests=OFF ;;
    *) echo "usage: build.sh [--werror] [--native] [--product]" >&2; exit 2 ;;
  esac
done

jobs=$(nproc)
options=(-G Ninja -DBRUME7_WERROR=$werror -DBRUME7_TESTS=$tests -DBRUME7_BENCHMARKS=$tests)
cmake -S . -B build "${options[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
ninja -C build -j "$jobs"

if $windows; then
  for bits in 32 64; do
    toolchain=cmake/mingw-i686.cmake
    [ $bits = 64 ] && toolchain=cmake/mingw-x86_64.cmake
    cmake -S . -B build-win$bits "${options[@]}" -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=$toolchain >/dev/null
    ninja -C build-win$bits -j "$jobs"
  done
fi
