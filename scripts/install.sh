#!/usr/bin/env bash
# Installs the built Linux plug-in where Linux VST 2 hosts look for it.
#   scripts/install.sh              -> ~/.vst/Brume7.so
#   scripts/install.sh DIRECTORY    -> DIRECTORY/Brume7.so
# Build first (scripts/build.sh or scripts/main-job.sh).
set -eu
cd "$(dirname "$0")/.."

plugin=build/Brume7.so
target=${1:-$HOME/.vst}
if [ ! -f "$plugin" ]; then
  echo "install.sh: $plugin is missing; build first with scripts/build.sh" >&2
  exit 1
fi
mkdir -p "$target"
install -m 0755 "$plugin" "$target/Brume7.so"
echo "Installed $target/Brume7.so"
