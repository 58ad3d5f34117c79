// Frozen copy of the engine as it was before the vector rewrite: the reference
// that the differential tests hold the new engine to. Do not change it.
#include "tests/reference/Oscillator.h"

#include <cmath>
#include <limits>

namespace brume::reference {

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

namespace {

// Brings a phase of 1 or more back below 1, as repeated subtraction of 1 would:
// below 2^24 each subtraction is exact, so removing the whole part at once gives
// the same number; larger phases (where repeated subtraction would never finish)
// end at 0.
float wrapPhase(float phase) noexcept {
  phase -= 1.0f;
  if (phase >= 1.0f) phase -= std::floor(phase);
  return phase;
}

template <WaveShape kShape>
void stepVoicesOf(OscillatorVoiceState (&states)[kVoiceCount], const NoiseTables& noise, const std::int32_t* voices,
                  std::int32_t count, bool glideOn, float glideRate, float* values) noexcept {
  for (std::int32_t i = 0; i < count; ++i) {
    if (voices[i] < 0 || voices[i] >= kVoiceCount) {
      values[i] = 0.0f;  // no such voice
      continue;
    }
    OscillatorVoiceState& state = states[voices[i]];
    values[i] = waveValue(kShape, state.phase, noise);
    float phase = state.phase + state.increment;
    if (phase >= 1.0f) phase = wrapPhase(phase);
    state.phase = phase;
    if (glideOn) state.increment = state.increment + (state.targetIncrement - state.increment) * glideRate;
  }
}

// A shape outside the 14 is silent, but its phases still advance.
constexpr WaveShape kSilentShape = static_cast<WaveShape>(kWaveShapeCount);

}  // namespace

void Oscillator::stepVoices(const std::int32_t* voices, std::int32_t count, bool glideOn, float glideRate,
                            float* values) noexcept {
  switch (shape()) {
#define BRUME_STEP_SHAPE(name) \
  case WaveShape::name:        \
    return stepVoicesOf<WaveShape::name>(voiceStates, noise, voices, count, glideOn, glideRate, values);
    BRUME_STEP_SHAPE(Sin)
    BRUME_STEP_SHAPE(Sinsaw)
    BRUME_STEP_SHAPE(Saw)
    BRUME_STEP_SHAPE(Ramp)
    BRUME_STEP_SHAPE(SawSqu)
    BRUME_STEP_SHAPE(Square)
    BRUME_STEP_SHAPE(SinSqu)
    BRUME_STEP_SHAPE(Sin12)
    BRUME_STEP_SHAPE(Sin123)
    BRUME_STEP_SHAPE(Sin124)
    BRUME_STEP_SHAPE(AbsSin)
    BRUME_STEP_SHAPE(Noise)
    BRUME_STEP_SHAPE(Noise2)
    BRUME_STEP_SHAPE(Noise3)
#undef BRUME_STEP_SHAPE
  }
  stepVoicesOf<kSilentShape>(voiceStates, noise, voices, count, glideOn, glideRate, values);
}

}  // namespace brume::reference
