#!/usr/bin/env bash
# A real host's view of the Linux plug-in: Ardour's VST 2 scanner loads it,
# asks what it is and writes its cache entry, which must describe Brume7 as an
# instrument with an editor. Exits 77 (skipped) when Ardour is not installed.
set -u
plugin=$1
scanner=$(ls /usr/lib/ardour*/ardour-vst-scanner 2>/dev/null | head -n 1)
if [ -z "$scanner" ]; then
  echo "skipped: Ardour's ardour-vst-scanner is not installed (package ardour)"
  exit 77
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$plugin" "$work/Brume7.so"
output=$(cd "$work" && HOME="$work" XDG_CACHE_HOME="$work/cache" LD_LIBRARY_PATH="$(dirname "$scanner")" \
         "$scanner" -f "$work/Brume7.so" 2>&1)
status=$?
cache=$(find "$work/cache" -name '*.v2i' 2>/dev/null | head -n 1)
if [ $status -ne 0 ] || [ -z "$cache" ]; then
  echo "the scanner failed ($status):" >&2
  echo "$output" | tail -20 >&2
  exit 1
fi
for expected in 'name="Brume7"' 'creator="Pellarine"' 'id="1112689975"' 'n_inputs="1"' 'n_outputs="2"' \
                'is_instrument="1"' 'can_process_replace="1"' 'has_editor="1"'; do
  if ! grep -qF "$expected" "$cache"; then
    echo "expected $expected in Ardour's cache entry:" >&2
    cat "$cache" >&2
    exit 1
  fi
done
echo "Ardour's scanner: $(grep -o '<VST2Info[^>]*>' "$cache")"
