#!/usr/bin/env bash
# Builds the three plug-ins and packs dist/brume7-VERSION.tar.gz:
#   Brume7.so            the Linux x86_64 plug-in
#   Brume7.lv2/          the Linux x86_64 LV2 plug-in, a bundle
#   win32/BRM7.dll       the 32-bit Windows plug-in (32-bit hosts)
#   win64/BRM7.dll       the 64-bit Windows plug-in (64-bit hosts)
#   brume7-host          the command-line host (Linux)
#   presets/*.fxb        the sound library, one VST 2 bank per theme
#   demos/BANK/*.flac    a few seconds of each sound, rendered by brume7-host
#   README.md, LICENSE, THIRD-PARTY-NOTICES.md
# The version is the project's, defined once in CMakeLists.txt.
set -eu
cd "$(dirname "$0")/.."

scripts/build.sh --werror

version=$(cat build/RELEASE_VERSION)
name="brume7-$version"
staging=$(mktemp -d)
trap 'rm -rf "$staging"' EXIT

mkdir -p "$staging/$name/win32" "$staging/$name/win64"
cp build/Brume7.so build/brume7-host "$staging/$name/"
cp -R build/Brume7.lv2 "$staging/$name/"
cp build-win32/BRM7.dll "$staging/$name/win32/"
cp build-win64/BRM7.dll "$staging/$name/win64/"
cp README.md LICENSE THIRD-PARTY-NOTICES.md "$staging/$name/"
mkdir -p "$staging/$name/presets"
cp build/presets/*.fxb "$staging/$name/presets/"
scripts/sound-demos.sh "$staging/$name/demos" >/dev/null
strip --strip-unneeded "$staging/$name/Brume7.so" "$staging/$name/brume7-host" "$staging/$name/Brume7.lv2/brume7-lv2.so"
i686-w64-mingw32-strip --strip-unneeded "$staging/$name/win32/BRM7.dll"
x86_64-w64-mingw32-strip --strip-unneeded "$staging/$name/win64/BRM7.dll"

mkdir -p dist
tar -C "$staging" -czf "dist/$name.tar.gz" "$name"
echo "dist/$name.tar.gz"
