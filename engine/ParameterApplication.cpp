#include "engine/ParameterApplication.h"

#include <cmath>
#include <limits>

#include "engine/ModulationTargets.h"

namespace brume {

namespace {

constexpr std::int32_t kFullAttack = 20000;
constexpr std::int32_t kFullDecay = 10000;
constexpr std::int32_t kFullRelease = 100000;

// 0.00001 .. 0.9999 as the shape and glide conversions clamp.
float clampSetting(float value) noexcept {
  if (value > 0.9999f) return 0.9999f;
  if (value < 0.00001f) return 0.00001f;
  return value;
}

// trunc(a) + b without overflowing when a saturates.
std::int32_t saturatingAdd(std::int32_t a, std::int32_t b) noexcept {
  const std::int64_t sum = static_cast<std::int64_t>(a) + b;
  if (sum > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
  if (sum < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(sum);
}

// The sample counter wraps around, so a hold set near its end wraps with it.
std::int32_t wrappingAdd(std::int32_t a, std::int32_t b) noexcept {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

void applyOscillatorPitch(SynthEngine& engine, const ParameterValues& values, std::int32_t oscillator) noexcept {
  const std::int32_t pitchIndex = kO1Pitch + kOscillatorStride * oscillator;
  const float fine = (values.get(pitchIndex + 1) - 0.5f) * 2.0f;
  engine.setOscillatorPitch(oscillator, static_cast<float>(semitonesFromValue(values.get(pitchIndex))) + fine);
}

}  // namespace

std::int32_t semitonesFromValue(float value) noexcept {
  return truncateToInt32((static_cast<double>(value) - 0.5) * 48.0);
}

std::int32_t shapeFromValue(float value) noexcept {
  return truncateToInt32(static_cast<double>(clampSetting(value)) * 14.0);
}

std::int32_t envelopeLengthFromValue(float value, std::int32_t fullScale) noexcept {
  const double v = value;
  return saturatingAdd(truncateToInt32(v * v * fullScale), 1);
}

float lfoPeriodFromValue(float value, float beatSamples) noexcept {
  return static_cast<float>(std::exp2(12.0 * static_cast<double>(value)) * 0.125 * static_cast<double>(beatSamples));
}

float glideRateFromValue(float value) noexcept {
  const float base = (1.0f - value) * 0.32f;
  return clampSetting(static_cast<float>(std::pow(static_cast<double>(base), 5.0)));
}

float beatSamplesFor(float tempoBpm, float sampleRate) noexcept {
  return static_cast<float>(60.0 / static_cast<double>(tempoBpm) * static_cast<double>(sampleRate));
}

bool parameterChangesVoices(std::int32_t index) noexcept {
  switch (index) {
    case kO1Pitch:
    case kO1SubP:
    case kO2Pitch:
    case kO2SubP:
    case kO3Pitch:
    case kO3SubP:
    case kSustain:
      return true;
    default:
      return false;
  }
}

void applyOscillatorLevels(SynthEngine& engine, const ParameterValues& values) noexcept {
  for (std::int32_t k = 0; k < kOscillatorCount; ++k) {
    engine.setOscillatorLevel(k, values.get(kO1Vol + kOscillatorStride * k));
    engine.setOscillatorRingMultiply(k, values.get(kOsc1 + kOscillatorStride * k) > 0.5f);
  }
}

void applyParameter(std::int32_t index, float value, const ParameterContext& context) noexcept {
  SynthEngine& engine = context.engine;
  switch (index) {
    case kPitch:
      engine.setTranspose(static_cast<float>(semitonesFromValue(value)));
      break;
    case kOsc1:
    case kO1Vol:
    case kOsc2:
    case kO2Vol:
    case kOsc3:
    case kO3Vol:
      applyOscillatorLevels(engine, context.currentValues);
      break;
    case kO1Shape:
    case kO2Shape:
    case kO3Shape:
      engine.setOscillatorShape((index - kO1Shape) / kOscillatorStride, shapeFromValue(value));
      break;
    // Both knobs of a pair are read back, so the result does not depend on which one changed.
    case kO1Pitch:
    case kO1SubP:
    case kO2Pitch:
    case kO2SubP:
    case kO3Pitch:
    case kO3SubP:
      applyOscillatorPitch(engine, context.currentValues, (index - kO1Pitch) / kOscillatorStride);
      break;
    case kAttack:
      engine.setAttackLength(envelopeLengthFromValue(value, kFullAttack));
      break;
    case kDecay:
      engine.setDecayLength(envelopeLengthFromValue(value, kFullDecay));
      break;
    case kSustain:
      engine.setSustain(value);
      break;
    case kRelease:
      engine.setReleaseLength(envelopeLengthFromValue(value, kFullRelease));
      break;
    case kL1Per:
    case kL2Per:
      context.lfos[(index - kL1Per) / kLfoStride].setPeriod(lfoPeriodFromValue(value, context.beatSamples));
      break;
    // A new target is neither written nor followed for one second of samples.
    case kL1Aim:
    case kL2Aim:
      context.lfos[(index - kL1Aim) / kLfoStride].setHoldUntil(
          wrappingAdd(context.sampleCounter, truncateToInt32(context.sampleRate)));
      break;
    case kL1Min:
    case kL2Min:
      context.lfos[(index - kL1Min) / kLfoStride].setMinimum(value);
      break;
    case kL1Max:
    case kL2Max:
      context.lfos[(index - kL1Max) / kLfoStride].setMaximum(value);
      break;
    case kCutoff:
    case kRes:
      context.filter.setCutoffResonance(context.currentValues.get(kCutoff), context.currentValues.get(kRes));
      break;
    case kGlide:
      engine.setGlideOn(value >= 0.5f);
      break;
    case kGWet:
      engine.setGlideRate(glideRateFromValue(value));
      break;
    default:
      // Volume, pan, the switches and the event modulators are read where they are used.
      break;
  }
}

}  // namespace brume
