#!/usr/bin/env bash
# Installs the built Linux plug-ins where Linux hosts look for them (the VST 2
# plug-in and the LV2 bundle), and the sound library's banks where users find them.
#   scripts/install.sh                  -> ~/.vst/Brume7.so and ~/.lv2/Brume7.lv2/
#   scripts/install.sh VST_DIR [LV2_DIR] -> VST_DIR/Brume7.so and LV2_DIR/Brume7.lv2/
#   and the banks                       -> ~/.local/share/brume7/presets/*.fxb
#                                          (under $XDG_DATA_HOME when it is set)
# Build first (scripts/build.sh or scripts/main-job.sh).
set -eu
cd "$(dirname "$0")/.."

plugin=build/Brume7.so
bundle=build/Brume7.lv2
target=${1:-$HOME/.vst}
lv2_target=${2:-$HOME/.lv2}
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
