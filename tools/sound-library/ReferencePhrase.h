#pragma once
// The phrase every sound of the library is heard and checked on: a chord, a
// melody with changing velocities, then a held low note.

#include <cstdint>
#include <vector>

namespace brume::sounds {

struct PhraseNote {
  double startBeat;
  double lengthBeats;
  int key;  // MIDI key; 60 shows as "C5" in Brume7
  int velocity;
};

constexpr double kPhraseTempo = 120.0;  // beats per minute

const std::vector<PhraseNote>& referencePhrase();

// The phrase as a Standard MIDI File (format 0, one track, with its tempo).
std::vector<std::uint8_t> referencePhraseMidiFile();

}  // namespace brume::sounds
