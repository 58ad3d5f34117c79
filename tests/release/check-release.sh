#!/usr/bin/env bash
# Unpacks a release archive into a temporary folder and loads each plug-in
# from there: the Linux one natively, the LV2 bundle through lilv, both
# Windows DLLs under Wine (each with the brume7-host.exe of its own build
# tree, since the archive carries the Linux host only).
set -eu
archive=$1
root=$(cd "$(dirname "$0")/../.." && pwd)
wine="$root/cmake/run-under-wine.sh"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
tar -C "$work" -xzf "$archive"
folder=$(find "$work" -mindepth 1 -maxdepth 1 -type d)

for file in Brume7.so brume7-host Brume7.lv2/manifest.ttl Brume7.lv2/brume7.ttl Brume7.lv2/presets.ttl \
            Brume7.lv2/brume7-lv2.so win32/BRM7.dll win64/BRM7.dll README.md LICENSE THIRD-PARTY-NOTICES.md; do
  [ -f "$folder/$file" ] || { echo "missing from the archive: $file" >&2; exit 1; }
done

# The sound library: VST 2 banks of 16 programs of 54 parameters for 'BRM7'
# (4,508 bytes: 'CcnK', 'FxBk', the id), and a FLAC demo of each sound.
banks=$(find "$folder/presets" -name '*.fxb' 2>/dev/null | sort)
[ "$(wc -l <<<"$banks")" -ge 4 ] || { echo "fewer than 4 banks in presets/" >&2; exit 1; }
for bank in $banks; do
  name=$(basename "$bank" .fxb)
  [ "$(stat -c %s "$bank")" -eq 4508 ] || { echo "presets/$name.fxb: not a bank of 16 programs of 54 parameters" >&2; exit 1; }
  tags="$(head -c 4 "$bank")$(head -c 12 "$bank" | tail -c 4)$(head -c 20 "$bank" | tail -c 4)"
  [ "$tags" = "CcnKFxBkBRM7" ] || { echo "presets/$name.fxb: not a parameter bank for 'BRM7'" >&2; exit 1; }
  demos=$(find "$folder/demos/$name" -name '*.flac' 2>/dev/null | wc -l)
  [ "$demos" -eq 16 ] || { echo "demos/$name: $demos FLAC files for 16 sounds" >&2; exit 1; }
  for demo in "$folder/demos/$name"/*.flac; do
    [ "$(head -c 4 "$demo")" = "fLaC" ] || { echo "$demo is not FLAC" >&2; exit 1; }
  done
done
echo "presets: $(wc -l <<<"$banks") banks, each with 16 demos"

expect_identity() {
  local what=$1 output=$2
  for line in "Effect name:     Brume7" "Unique ID:       'BRM7'" "Parameters:      54"; do
    if ! grep -qF "$line" <<<"$output"; then
      echo "$what: expected \"$line\" in:" >&2
      echo "$output" | head -20 >&2
      exit 1
    fi
  done
  echo "$what: loads and reports Brume7"
}

# The archive's own host, from the unpacked folder, with no build tree around.
expect_identity "Brume7.so" "$(cd "$folder" && ./brume7-host info ./Brume7.so)"
# The bundle as lilv finds it in a folder of LV2_PATH; lv2bench loads and runs its binary.
mkdir "$work/lv2"
ln -s "$folder/Brume7.lv2" "$work/lv2/Brume7.lv2"
if command -v lv2bench >/dev/null 2>&1; then
  output=$(LV2_PATH="$work/lv2" lv2bench -n 48000 urn:pellarine:brume7 2>&1) &&
    grep -qE "^[0-9.]+ urn:pellarine:brume7\$" <<<"$output" ||
    { echo "Brume7.lv2: lv2bench did not run it:" >&2; echo "$output" >&2; exit 1; }
  echo "Brume7.lv2: lilv loads and runs it"
else
  echo "Brume7.lv2: present (lv2bench, of lilv-utils, is not installed to load it)"
fi
expect_identity "win32/BRM7.dll" "$("$wine" "$root/build-win32/brume7-host.exe" info "$folder/win32/BRM7.dll")"
expect_identity "win64/BRM7.dll" "$("$wine" "$root/build-win64/brume7-host.exe" info "$folder/win64/BRM7.dll")"
