#pragma once
// One of the 16 voices: its place on the engine clock, its note and its envelope.

#include <cstdint>
#include <limits>

namespace brume {

constexpr std::int32_t kVoiceCount = 16;

enum class EnvelopeStage : std::int32_t { Attack, Decay, Sustain, Release };

// End and release times of a held note. The clock is 64-bit and never reaches
// them, so a note held for hours does not end by itself. The release marker is
// one below the end marker.
constexpr std::int64_t kHeldEndTime = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kHeldReleaseTime = kHeldEndTime - 1;

struct Voice {
  std::int64_t startTime = 0;    // engine clock value from which the voice sounds
  std::int64_t endTime = 0;      // engine clock value from which it no longer sounds
  std::int32_t note = 0;         // MIDI key
  std::int64_t releaseTime = 0;  // a voice in Sustain enters Release once the clock is past this
  float velocity = 0.0f;         // MIDI velocity / 128
  float pitch = 0.0f;            // semitones, 0 = MIDI key 0
  float envelopeLevel = 0.0f;
  float envelopeStep = 0.0f;  // added to the level at every sample of Attack, Decay and Release
  EnvelopeStage stage = EnvelopeStage::Release;

  bool isSounding(std::int64_t clock) const noexcept { return startTime <= clock && clock < endTime; }
};

}  // namespace brume
