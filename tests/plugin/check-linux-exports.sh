#!/usr/bin/env bash
# The Linux plug-in exports exactly main and VSTPluginMain, and needs no library of ours.
set -eu
module=$1
exports=$(nm -D --defined-only "$module" | awk '$2 ~ /^[TDBRVW]$/ {print $3}' | sort | tr '\n' ' ')
if [ "$exports" != "VSTPluginMain main " ]; then
  echo "unexpected exports: $exports" >&2
  exit 1
fi
needed=$(readelf -d "$module" | awk '/NEEDED/ {print $5}' | tr -d '[]' | tr '\n' ' ')
for library in $needed; do
  case "$library" in
    libstdc++.so.*|libm.so.*|libgcc_s.so.*|libc.so.*|ld-linux*.so.*|libX11.so.*|libfreetype.so.*|libdl.so.*|libpthread.so.*) ;;
    *) echo "unexpected library dependency: $library" >&2; exit 1 ;;
  esac
done
echo "exports: $exports; needs: $needed"
