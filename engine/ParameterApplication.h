#pragma once
// How a parameter value becomes engine state: the engine side of setting a
// parameter, after the caller has stored the value.

#include <cstdint>

#include "engine/Lfo.h"
#include "engine/LowPassFilter.h"
#include "engine/ParameterIndex.h"
#include "engine/ParameterValues.h"
#include "engine/SynthEngine.h"

namespace brume {

struct ParameterContext {
  SynthEngine& engine;
  Lfo (&lfos)[kLfoCount];
  LowPassFilter& filter;
  const ParameterValues& currentValues;  // already holds the new value
  float beatSamples;                     // samples per beat at the host's tempo
  std::int32_t sampleCounter;            // the block renderer's counter, for LFO holds
  float sampleRate;
};

// Any thread. Whether applying the parameter writes the state of sounding
// voices (a retune or the sustain level), which only the audio thread may do.
bool parameterChangesVoices(std::int32_t index) noexcept;

// Any thread, real-time safe. Applies one value; indexes outside 0 to 53 and
// parameters read elsewhere (volume, pan, switches, modulator settings) do nothing.
void applyParameter(std::int32_t index, float value, const ParameterContext& context) noexcept;

// Any thread, real-time safe. Level and ring-multiply switch of all three
// oscillators from the stored values.
void applyOscillatorLevels(SynthEngine& engine, const ParameterValues& values) noexcept;

// Any thread, real-time safe. Samples per beat: 60 / tempo x sample rate.
float beatSamplesFor(float tempoBpm, float sampleRate) noexcept;

// The value conversions applyParameter uses. Any thread, real-time safe.
// Whole semitones trunc((v - 0.5) x 48).
std::int32_t semitonesFromValue(float value) noexcept;
// Wave shape trunc(clamped v x 14), v clamped to 0.00001 to 0.9999.
std::int32_t shapeFromValue(float value) noexcept;
// Envelope length trunc(v x v x fullScale) + 1 samples, at least 1.
std::int32_t envelopeLengthFromValue(float value, std::int32_t fullScale) noexcept;
// LFO period 2^(12 v) x 0.125 beats, in samples.
float lfoPeriodFromValue(float value, float beatSamples) noexcept;
// ((1 - v) x 0.32)^5, clamped to 0.00001 to 0.9999.
float glideRateFromValue(float value) noexcept;

}  // namespace brume
