#!/usr/bin/env bash
# brume7-host.exe renders the demo through BRM7.dll under Wine, brume7-host
# through Brume7.so natively: the float files must hold the same samples
# (within 1e-6), and the 16- and 24-bit PCM files exactly the same ones, since
# the Windows WAV writer scales as libsndfile does. Exits 77 (skipped) when the
# Windows build tree is missing.
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
status=0
for format in float:1e-6 pcm16:0 pcm24:0; do
  name=${format%%:*}
  tolerance=${format#*:}
  "$wine_runner" "$windows_build/brume7-host.exe" render --demo --no-progress --format "$name" \
    -o "$work/windows-$name.wav" >/dev/null || exit 1
  "$native_host" render --demo --no-progress --format "$name" -o "$work/linux-$name.wav" >/dev/null || exit 1
  echo -n "$name: "
  "$compare" "$work/linux-$name.wav" "$work/windows-$name.wav" "$tolerance" || status=1
done
exit $status
