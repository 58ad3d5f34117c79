#include "engine/Oscillator.h"

#include <limits>

namespace brume {

float incrementFrom(double cyclesPerSample) noexcept {
  if (!(cyclesPerSample >= 0.0 && cyclesPerSample <= std::numeric_limits<float>::max())) return 0.0f;
  return static_cast<float>(cyclesPerSample);
}

Oscillator::Oscillator(ClassicRandom& random) noexcept { fillNoiseTables(noise, random); }

void Oscillator::startVoice(std::int32_t voice, float increment, float targetIncrement) noexcept {
  if (!isVoice(voice)) return;
  OscillatorVoiceState& state = voiceStates[voice];
  state.phase = 0.0f;
  state.increment = incrementFrom(increment);
  state.targetIncrement = incrementFrom(targetIncrement);
}

void Oscillator::scaleVoiceIncrements(std::int32_t voice, double ratio) noexcept {
  if (!isVoice(voice)) return;
  OscillatorVoiceState& state = voiceStates[voice];
  state.increment = incrementFrom(static_cast<double>(state.increment) * ratio);
  state.targetIncrement = incrementFrom(static_cast<double>(state.targetIncrement) * ratio);
}

}  // namespace brume
