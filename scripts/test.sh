#!/usr/bin/env bash
# Sets up a Debian 12 machine when needed, builds everything with warnings as
# errors, and runs every test: the formatting check, the native tests, the same
# unit tests under AddressSanitizer and UndefinedBehaviorSanitizer (built by gcc
# and by clang), the fuzz targets for a minute each, the editor's threading
# test under ThreadSanitizer, and the Windows tests under Wine.
#   --quick  the formatting check, the native build and its tests only
set -eu
cd "$(dirname "$0")/.."

quick=false
case "${1:-}" in
  "") ;;
  --quick) quick=true ;;
  *) echo "usage: test.sh [--quick]" >&2; exit 2 ;;
esac

# Each stage's heading carries the minutes and seconds since the start.
stage() { printf '\n== [%02d:%02d] %s\n' $((SECONDS / 60)) $((SECONDS % 60)) "$1"; }

# The compiler cache every build of the project shares (cmake/Ccache.cmake); its statistics count this run.
export BRUME7_CCACHE_DIR=${BRUME7_CCACHE_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/brume7/ccache}
cache_statistics() {
  if command -v ccache >/dev/null; then
    CCACHE_DIR=$BRUME7_CCACHE_DIR ccache "$@"
  fi
}

stage "set-up"
if $quick; then scripts/setup.sh native; else scripts/setup.sh all; fi
cache_statistics --zero-stats >/dev/null || true

status=0
stage "formatting of the C++ files (clang-format)"
command -v clang-format >/dev/null || { echo "test.sh: clang-format is missing (package clang-format)" >&2; exit 1; }
mapfile -t unformatted < <(git ls-files -z '*.cpp' '*.h' |
  xargs -0 -n 25 -P "$(nproc)" clang-format --dry-run 2>&1 | sed -n 's/^\([^:]*\):[0-9]*:[0-9]*: .*code should be clang-formatted.*/\1/p' | sort -u)
if [ ${#unformatted[@]} -gt 0 ]; then
  echo "not formatted (clang-format -i FILE formats one):"
  printf '  %s\n' "${unformatted[@]}"
  status=1
else
  echo "every tracked C++ file is formatted"
fi

if $quick; then
  stage "native build"
  scripts/build.sh --werror --native
else
  stage "builds: native, 32-bit and 64-bit Windows"
  scripts/build.sh --werror
fi

jobs=$(nproc)
# Leaks inside other people's libraries are not the tests' findings.
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan-suppressions.txt${LSAN_OPTIONS:+:$LSAN_OPTIONS}"

stage "native tests"
(cd build && ctest -j "$jobs" --output-on-failure) || status=1

# The compiler cache's hit rate in this run, and the verdict.
finish() {
  stage "done"
  cache_statistics --print-stats 2>/dev/null | awk -F'\t' '
    $1 == "direct_cache_hit" || $1 == "preprocessed_cache_hit" { hits += $2 }
    $1 == "cache_miss" { misses += $2 }
    END { if (hits + misses > 0) printf "compiler cache: %d of %d compilations found (%.0f%%)\n", hits, hits + misses, 100 * hits / (hits + misses) }'
  if [ $status -ne 0 ]; then
    echo "test.sh: some tests failed" >&2
  fi
  exit $status
}
if $quick; then finish; fi

stage "unit tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DBRUME7_WERROR=ON \
      -DBRUME7_SANITIZE=address,undefined -DBRUME7_BENCHMARKS=OFF >/dev/null
ninja -C build-sanitize -j "$jobs"
(cd build-sanitize && ctest -j "$jobs" --output-on-failure) || status=1

stage "unit tests built by clang under UndefinedBehaviorSanitizer and AddressSanitizer; the fuzz targets"
# clang checks what gcc lets pass (array bounds of the event list's trailing array); one tree also builds
# the libFuzzer targets, each run for a minute from its seed corpus.
CC=clang CXX=clang++ cmake -S . -B build-clang -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_FLAGS_DEBUG="-O1 -g" \
      -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" -DBRUME7_WERROR=ON -DBRUME7_SANITIZE=address,undefined \
      -DBRUME7_FUZZ=ON -DBRUME7_BENCHMARKS=OFF >/dev/null
ninja -C build-clang -j "$jobs"
(cd build-clang && ctest -j "$jobs" --output-on-failure -LE fuzz) || status=1
rm -f build-clang/tests/fuzz/work/*/summary.txt
(cd build-clang && ctest -j "$jobs" --output-on-failure -L fuzz) || status=1
cat build-clang/tests/fuzz/work/*/summary.txt 2>/dev/null || true

stage "the audio and editor threads under ThreadSanitizer"
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBRUME7_WERROR=ON \
      -DBRUME7_SANITIZE=thread -DBRUME7_BENCHMARKS=OFF >/dev/null
ninja -C build-tsan -j "$jobs" editor_thread_tests
build-tsan/tests/editor/editor_thread_tests || status=1

stage "32-bit Windows tests under Wine (through the i386 emulator)"
(cd build-win32 && ctest -j "$jobs" --output-on-failure) || status=1

stage "64-bit Windows tests under Wine"
(cd build-win64 && ctest -j "$jobs" --output-on-failure) || status=1

stage "the release archive"
archive=$(scripts/release.sh | tail -n 1)
tests/release/check-release.sh "$archive" || status=1

finish
