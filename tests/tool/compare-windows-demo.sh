#!/usr/bin/env bash
# brume7-host.exe renders the demo through BRM7.dll under Wine, brume7-host
# through Brume7.so natively; the two files must hold the same samples
# (within 1e-6). Exits 77 (skipped) when the Windows build tree is missing.
set -u
native_host=$1
windows_build=$2
compare=$3
wine_runner=$4

if [ ! -f "$windows_build/brume7-host.exe" ] || [ ! -f "$windows_build/BRM7.dll" ]; then
  echo "skipped: no Windows build in $windows_build (scripts/build.sh makes one)"
  exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$wine_runner" "$windows_build/brume7-host.exe" render --demo --no-progress -o "$work/windows.wav" || exit 1
"$native_host" render --demo --no-progress -o "$work/linux.wav" || exit 1
"$compare" "$work/linux.wav" "$work/windows.wav" 1e-6
