#!/usr/bin/env bash
# A real host plays the LV2 plug-in: Ardour, headless through ardour7-lua on
# its dummy backend, loads Brume7.lv2 as a MIDI track's instrument and sounds
# when a note reaches it. Exits 77 (skipped) when Ardour is not installed.
set -u
bundle=$1
script=$(cd "$(dirname "$0")" && pwd)/ardour-plays-lv2.lua
if ! command -v ardour7-lua >/dev/null 2>&1; then
  echo "skipped: ardour7-lua is not installed (package ardour)"
  exit 77
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Ardour finds our bundle alone, with LV2's core description for the plug-in's class.
mkdir "$work/lv2"
ln -s "$bundle" "$work/lv2/Brume7.lv2"
[ -d /usr/lib/lv2/core.lv2 ] && ln -s /usr/lib/lv2/core.lv2 "$work/lv2/core.lv2"
output=$(cd "$work" && HOME="$work" XDG_CONFIG_HOME="$work/config" XDG_CACHE_HOME="$work/cache" \
         LV2_PATH="$work/lv2" BRUME7_ARDOUR_SESSION="$work/session" timeout 120 ardour7-lua "$script" 2>&1)
status=$?

fail() {
  echo "$1" >&2
  echo "$output" | tail -20 >&2
  exit 1
}
[ $status -eq 0 ] || fail "ardour7-lua failed ($status):"
grep -qx "instrument: yes" <<<"$output" || fail "Ardour did not load Brume7.lv2 as an instrument:"
before=$(sed -n 's/^before: //p' <<<"$output")
after=$(sed -n 's/^after: //p' <<<"$output")
[ "$before" = "-inf -inf" ] || fail "sound before the note ($before dBFS):"
# Both channels finite and above -40 dBFS (the note peaks near -11 dBFS).
for level in $after; do
  [[ $level =~ ^-?[0-9]+(\.[0-9]+)?$ ]] && awk -v level="$level" 'BEGIN { exit !(level + 0 > -40) }' ||
    fail "no sound after the note ($after dBFS):"
done
[ $(wc -w <<<"$after") -eq 2 ] || fail "no levels after the note:"
echo "Ardour plays Brume7.lv2: output peaks $after dBFS after a note, silent before"
