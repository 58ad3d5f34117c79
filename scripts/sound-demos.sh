#!/usr/bin/env bash
# Renders a short demo of every sound of the library with the build's own
# brume7-host: the reference phrase (a chord, a melody, a held low note), as
#   OUTDIR/BANK/NN-sound-name.flac
# Build first (scripts/build.sh); scripts/release.sh puts them into the archive.
set -eu
cd "$(dirname "$0")/.."
output=${1:?usage: sound-demos.sh OUTDIR}

host=build/brume7-host
sounds=build/tools/sound-library/brume7-sounds
for program in "$host" "$sounds"; do
  [ -x "$program" ] || { echo "sound-demos.sh: $program is missing; build first" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$sounds" phrase "$work/phrase.mid"

for bank in resources/sounds/*.txt; do
  name=$(basename "$bank" .txt)
  mkdir -p "$output/$name"
  while IFS=$'\t' read -r number title _; do
    settings=()
    while read -r setting; do settings+=(--set "$setting"); done < <("$sounds" settings "$bank" "$number")
    # "Glass Bell" -> 10-glass-bell.flac
    file=$(printf '%02d-%s.flac' $((number + 1)) "$(tr 'A-Z' 'a-z' <<<"$title" | tr -cs 'a-z0-9' '-' | sed 's/-*$//')")
    "$host" render "$work/phrase.mid" "${settings[@]}" --tail 1.5 --format pcm16 --no-progress \
            -o "$output/$name/$file" >/dev/null
  done < <("$sounds" list "$bank")
done
echo "$output"
