#!/usr/bin/env bash
# Installs the built Linux plug-in where Linux VST 2 hosts look for it, and
# the sound library's banks where users find them.
#   scripts/install.sh              -> ~/.vst/Brume7.so
#   scripts/install.sh DIRECTORY    -> DIRECTORY/Brume7.so
#   and the banks                   -> ~/.local/share/brume7/presets/*.fxb
#                                      (under $XDG_DATA_HOME when it is set)
# Build first (scripts/build.sh or scripts/main-job.sh).
set -eu
cd "$(dirname "$0")/.."

plugin=build/Brume7.so
target=${1:-$HOME/.vst}
presets=${XDG_DATA_HOME:-$HOME/.local/share}/brume7/presets
if [ ! -f "$plugin" ] || ! ls build/presets/*.fxb >/dev/null 2>&1; then
  echo "install.sh: $plugin or build/presets is missing; build first with scripts/build.sh" >&2
  exit 1
fi
mkdir -p "$target" "$presets"
install -m 0755 "$plugin" "$target/Brume7.so"
echo "Installed $target/Brume7.so"
install -m 0644 build/presets/*.fxb "$presets/"
echo "Installed the sound banks into $presets"
