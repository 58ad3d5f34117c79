#pragma once
// The linear attack-decay-sustain-release envelope of every voice. The settings
// are shared by all voices; the running state lives in each Voice.

#include <cstdint>

#include "engine/RelaxedAtomic.h"
#include "engine/Voice.h"

namespace brume {

struct EnvelopeSettings {
  // Lengths in samples, at least 1 (the engine's setters keep them there).
  RelaxedAtomic<std::int32_t> attackLength{600};
  RelaxedAtomic<std::int32_t> decayLength{300};
  RelaxedAtomic<std::int32_t> releaseLength{10000};
  RelaxedAtomic<float> sustainLevel{0.5f};
};

// Audio thread, real-time safe. A note start: level 0, rising by 1 / attack length.
void startEnvelope(Voice& voice, const EnvelopeSettings& settings) noexcept;

// Any thread, real-time safe. Stores the level and moves every voice that is
// in Sustain to it at once; voices in Decay compare against it from their next
// sample, voices in Release keep their slope.
void applySustainLevel(EnvelopeSettings& settings, Voice (&voices)[kVoiceCount], float level) noexcept;

}  // namespace brume
