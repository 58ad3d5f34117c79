#!/usr/bin/env bash
# Installs the built Linux plug-ins where Linux hosts look for them: the VST 2
# plug-in and the LV2 bundle.
#   scripts/install.sh                              -> ~/.vst/Brume7.so and ~/.lv2/Brume7.lv2/
#   scripts/install.sh VST_DIRECTORY [LV2_DIRECTORY] -> VST_DIRECTORY/Brume7.so and LV2_DIRECTORY/Brume7.lv2/
# Build first (scripts/build.sh or scripts/main-job.sh).
set -eu
cd "$(dirname "$0")/.."

plugin=build/Brume7.so
bundle=build/Brume7.lv2
target=${1:-$HOME/.vst}
lv2_target=${2:-$HOME/.lv2}
if [ ! -f "$plugin" ]; then
  echo "install.sh: $plugin is missing; build first with scripts/build.sh" >&2
  exit 1
fi
mkdir -p "$target"
install -m 0755 "$plugin" "$target/Brume7.so"
echo "Installed $target/Brume7.so"

if [ ! -f "$bundle/manifest.ttl" ]; then
  echo "install.sh: $bundle is missing (the build makes it where lv2-dev is installed); LV2 bundle not installed" >&2
  exit 0
fi
# The bundle is replaced whole, so that no file of an older one stays behind.
mkdir -p "$lv2_target"
rm -rf "$lv2_target/Brume7.lv2"
mkdir "$lv2_target/Brume7.lv2"
for file in "$bundle"/*; do
  case "$file" in
    *.so) install -m 0755 "$file" "$lv2_target/Brume7.lv2/" ;;
    *) install -m 0644 "$file" "$lv2_target/Brume7.lv2/" ;;
  esac
done
echo "Installed $lv2_target/Brume7.lv2"
