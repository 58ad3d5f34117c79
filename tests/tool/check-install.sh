#!/usr/bin/env bash
# Installs the build into a temporary prefix: the plug-in must land in
# PREFIX/lib/vst and the installed brume7-host must find it there by itself.
set -eu
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
[ -f "$prefix/lib/vst/Brume7.so" ] || { echo "no $prefix/lib/vst/Brume7.so after install" >&2; exit 1; }
output=$(HOME="$prefix" "$prefix/bin/brume7-host" info)
grep -qF "Effect name:     Brume7" <<<"$output" || { echo "the installed host did not find the plug-in:" >&2; echo "$output" >&2; exit 1; }
echo "installed into $prefix: lib/vst/Brume7.so, bin/brume7-host finds it"
