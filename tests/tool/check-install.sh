#!/usr/bin/env bash
# Installs the build into a temporary prefix: the plug-in must land in
# PREFIX/lib/vst and the installed brume7-host must find it there by itself;
# a build that made the LV2 bundle installs it whole in PREFIX/lib/lv2, where lilv finds it.
set -eu
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
[ -f "$prefix/lib/vst/Brume7.so" ] || { echo "no $prefix/lib/vst/Brume7.so after install" >&2; exit 1; }
output=$(HOME="$prefix" "$prefix/bin/brume7-host" info)
grep -qF "Effect name:     Brume7" <<<"$output" || { echo "the installed host did not find the plug-in:" >&2; echo "$output" >&2; exit 1; }
echo "installed into $prefix: lib/vst/Brume7.so, bin/brume7-host finds it"

[ -d "$build/Brume7.lv2" ] || exit 0
for file in "$build"/Brume7.lv2/*; do
  installed="$prefix/lib/lv2/Brume7.lv2/$(basename "$file")"
  cmp -s "$file" "$installed" || { echo "$installed is missing or differs from the build's" >&2; exit 1; }
done
[ -x "$prefix/lib/lv2/Brume7.lv2/brume7-lv2.so" ] || { echo "the installed LV2 binary is not executable" >&2; exit 1; }
if command -v lv2ls >/dev/null 2>&1; then
  listed=$(LV2_PATH="$prefix/lib/lv2" lv2ls)
  [ "$listed" = "urn:pellarine:brume7" ] || { echo "lv2ls did not list the installed bundle: $listed" >&2; exit 1; }
fi
echo "installed into $prefix: lib/lv2/Brume7.lv2, which lilv lists"
