#!/usr/bin/env bash
# The sound banks land where users find them: `cmake --install` puts the
# build's banks into PREFIX/share/brume7/presets, and, for the default build
# tree, scripts/install.sh into ~/.local/share/brume7/presets.
set -eu
build=$1
source=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

expect_banks() {
  local where=$1 bank
  for bank in "$build"/presets/*.fxb; do
    cmp -s "$bank" "$where/$(basename "$bank")" || { echo "$(basename "$bank") is not in $where" >&2; exit 1; }
  done
}

ls "$build"/presets/*.fxb >/dev/null
cmake --install "$build" --prefix "$work/prefix" >/dev/null
expect_banks "$work/prefix/share/brume7/presets"
echo "cmake --install: share/brume7/presets holds the banks"

if [ "$(cd "$build" && pwd)" = "$(cd "$source/build" 2>/dev/null && pwd)" ]; then
  HOME="$work/home" XDG_DATA_HOME="" "$source/scripts/install.sh" "$work/vst" >/dev/null
  [ -f "$work/vst/Brume7.so" ] || { echo "install.sh left no $work/vst/Brume7.so" >&2; exit 1; }
  expect_banks "$work/home/.local/share/brume7/presets"
  echo "scripts/install.sh: ~/.local/share/brume7/presets holds the banks"
fi
