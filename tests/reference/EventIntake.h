// Frozen copy of the engine as it was before the vector rewrite: the reference
// that the differential tests hold the new engine to. Do not change it.
#pragma once
// One MIDI message of the host's event list, in one of the two passes over it:
// pass 0 lets the four event modulators write their parameters, pass 1 starts
// and releases voices. So every parameter write of a list happens before any
// voice of that list starts or ends.

#include <cstdint>

#include "engine/ParameterValues.h"
#include "engine/ParameterWriter.h"
#include "tests/reference/SynthEngine.h"

namespace brume::reference {

constexpr int kModulatorPass = 0;
constexpr int kVoicePass = 1;

struct MidiMessage {
  std::uint8_t status = 0;  // the channel nibble is ignored
  std::uint8_t data1 = 0;
  std::uint8_t data2 = 0;
  std::int8_t detune = 0;  // cents
  std::int32_t deltaFrames = 0;
};

enum class MidiMessageKind { NoteStart, NoteRelease, EngineReset, Other };

// Any thread, real-time safe. What a message does; a note-on with velocity 0 is a release.
MidiMessageKind classifyMidiMessage(const MidiMessage& message) noexcept;

// Audio thread, real-time safe. Controller 126 resets the engine in each pass.
// A note start on a key that a modulator with a target owns starts no voice;
// in pass 0 the modulator writes its press value. A release writes the release
// value in pass 0 and releases the key's voices in pass 1. Keys and velocities
// are masked to 7 bits; passes other than 0 and 1 do nothing.
void handleMidiMessage(int pass, const MidiMessage& message, SynthEngine& engine, const ParameterValues& values,
                       ParameterWriter& writer) noexcept;

}  // namespace brume::reference
