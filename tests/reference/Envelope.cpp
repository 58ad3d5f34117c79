// Frozen copy of the engine as it was before the vector rewrite: the reference
// that the differential tests hold the new engine to. Do not change it.
#include "tests/reference/Envelope.h"

namespace brume::reference {

void startEnvelope(Voice& voice, const EnvelopeSettings& settings) noexcept {
  voice.envelopeLevel = 0.0f;
  voice.envelopeStep = 1.0f / static_cast<float>(settings.attackLength.load());
  voice.stage = EnvelopeStage::Attack;
}

void stepEnvelope(Voice& voice, const EnvelopeSettings& settings, std::int64_t clock) noexcept {
  switch (voice.stage) {
    case EnvelopeStage::Attack:
      voice.envelopeLevel += voice.envelopeStep;
      if (voice.envelopeLevel >= 1.0f) {
        voice.stage = EnvelopeStage::Decay;
        voice.envelopeLevel = 1.0f;
        voice.envelopeStep = (settings.sustainLevel.load() - 1.0f) / static_cast<float>(settings.decayLength.load());
      }
      break;
    case EnvelopeStage::Decay: {
      voice.envelopeLevel += voice.envelopeStep;
      const float sustain = settings.sustainLevel.load();
      if (voice.envelopeLevel <= sustain) {
        voice.stage = EnvelopeStage::Sustain;
        voice.envelopeLevel = sustain;
      }
      break;
    }
    case EnvelopeStage::Sustain:
      // The level stays where it is on the sample that enters Release; the
      // slope runs from the sustain level, whatever level was reached.
      if (voice.releaseTime < clock) {
        const std::int32_t releaseLength = settings.releaseLength.load();
        voice.stage = EnvelopeStage::Release;
        voice.endTime = clock + releaseLength;
        voice.envelopeStep = -(settings.sustainLevel.load() / static_cast<float>(releaseLength));
      }
      break;
    case EnvelopeStage::Release:
      voice.envelopeLevel += voice.envelopeStep;
      break;
  }
}

void applySustainLevel(EnvelopeSettings& settings, Voice (&voices)[kVoiceCount], float level) noexcept {
  settings.sustainLevel.store(level);
  for (Voice& voice : voices) {
    if (voice.stage == EnvelopeStage::Sustain) voice.envelopeLevel = level;
  }
}

}  // namespace brume::reference
