#include "engine/Envelope.h"

namespace brume {

void startEnvelope(Voice& voice, const EnvelopeSettings& settings) noexcept {
  voice.envelopeLevel = 0.0f;
  voice.envelopeStep = 1.0f / static_cast<float>(settings.attackLength.load());
  voice.stage = EnvelopeStage::Attack;
}

void applySustainLevel(EnvelopeSettings& settings, Voice (&voices)[kVoiceCount], float level) noexcept {
  settings.sustainLevel.store(level);
  for (Voice& voice : voices) {
    if (voice.stage == EnvelopeStage::Sustain) voice.envelopeLevel = level;
  }
}

}  // namespace brume
