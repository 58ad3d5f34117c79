#!/usr/bin/env bash
# Draws docs/sounds/BANK.png for each bank of resources/sounds: a spectrogram
# of every sound on the reference phrase (a chord, a melody, a held low note;
# 0 to 8 kHz upward, time to the right), rendered by the build's own
# brume7-host. Needs sox and imagemagick; build first (scripts/build.sh).
set -eu
cd "$(dirname "$0")/.."

host=build/brume7-host
sounds=build/tools/sound-library/brume7-sounds
for tool in sox montage; do
  command -v $tool >/dev/null || { echo "sound-pictures.sh: $tool is missing (apt-get install sox imagemagick)" >&2; exit 1; }
done
for program in "$host" "$sounds"; do
  [ -x "$program" ] || { echo "sound-pictures.sh: $program is missing; build first" >&2; exit 1; }
done

font=/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf
[ -f "$font" ] || { echo "sound-pictures.sh: $font is missing (apt-get install fonts-liberation)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$sounds" phrase "$work/phrase.mid"
mkdir -p docs/sounds

for bank in resources/sounds/*.txt; do
  name=$(basename "$bank" .txt)
  tiles=()
  while IFS=$'\t' read -r number title _; do
    settings=()
    while read -r setting; do settings+=(--set "$setting"); done < <("$sounds" settings "$bank" "$number")
    "$host" render "$work/phrase.mid" "${settings[@]}" --tail 1 --format pcm24 --no-progress -o "$work/$number.wav" >/dev/null
    sox "$work/$number.wav" -n remix - rate 16k spectrogram -x 240 -y 100 -z 80 -r -o "$work/$number.png"
    tiles+=(-label "$title" "$work/$number.png")
  done < <("$sounds" list "$bank")
  montage "${tiles[@]}" -tile 4x -geometry +6+4 -font "$font" -pointsize 13 -background white -colors 128 \
          -define png:exclude-chunks=date,time "docs/sounds/$name.png"
  echo "docs/sounds/$name.png"
done
