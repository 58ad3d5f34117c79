#include "engine/LowPassFilter.h"

#include <algorithm>
#include <cmath>

namespace brume {

void LowPassFilter::setCutoffResonance(float cutoff, float resonance) noexcept {
  const float f = cutoff * 1.16f;
  coefficients.f.store(f);
  coefficients.k.store(4.0f * resonance * (1.0f - 0.15f * f * f));
  coefficients.g.store(0.35013f * (f * f) * (f * f));
  coefficients.outputGain.store(2.0f * resonance + 1.0f);
}

float LowPassFilter::process(float x) noexcept {
  const float f = coefficients.f.load();
  const float k = coefficients.k.load();
  const float g = coefficients.g.load();
  const float damping = 1.0f - f;

  // The feedback reads the fourth stage of the previous sample.
  float stageInput = (x - k * stageOutputs[kStages - 1]) * g;
  for (int n = 0; n < kStages; ++n) {
    stageOutputs[n] = stageInput + 0.3f * stageInputs[n] + damping * stageOutputs[n];
    stageInputs[n] = stageInput;
    stageInput = stageOutputs[n];
  }

  // A non-finite value anywhere reaches the fourth stage in the same sample.
  if (!std::isfinite(stageOutputs[kStages - 1])) {
    for (int n = 0; n < kStages; ++n) {
      stageOutputs[n] = 0.0f;
      stageInputs[n] = 0.0f;
    }
  }
  return coefficients.outputGain.load() * stageOutputs[kStages - 1];
}

void LowPassFilter::processRun(float* samples, int count) noexcept {
  const float f = coefficients.f.load();
  const float k = coefficients.k.load();
  const float g = coefficients.g.load();
  const float gain = coefficients.outputGain.load();
  const float damping = 1.0f - f;

  float o1 = stageOutputs[0], o2 = stageOutputs[1], o3 = stageOutputs[2], o4 = stageOutputs[3];
  float i1 = stageInputs[0], i2 = stageInputs[1], i3 = stageInputs[2], i4 = stageInputs[3];
  const bool atRest = o1 == 0.0f && o2 == 0.0f && o3 == 0.0f && o4 == 0.0f && i1 == 0.0f && i2 == 0.0f &&
                      i3 == 0.0f && i4 == 0.0f;
  if (atRest && std::all_of(samples, samples + count, [](float x) { return x == 0.0f; })) {
    // Zero in, zero state: every stage stays zero (a non-finite coefficient
    // would be cleared back to zero the same way), and the output is gain x 0.
    std::fill(samples, samples + count, gain * 0.0f);
    return;
  }

  for (int n = 0; n < count; ++n) {
    // Term by term as process() adds them: the state must not drift from it.
    const float a = (samples[n] - k * o4) * g;
    o1 = a + 0.3f * i1 + damping * o1;
    i1 = a;
    o2 = o1 + 0.3f * i2 + damping * o2;
    i2 = o1;
    o3 = o2 + 0.3f * i3 + damping * o3;
    i3 = o2;
    o4 = o3 + 0.3f * i4 + damping * o4;
    i4 = o3;
    if (!std::isfinite(o4)) o1 = o2 = o3 = o4 = i1 = i2 = i3 = i4 = 0.0f;
    samples[n] = gain * o4;
  }
  stageOutputs[0] = o1, stageOutputs[1] = o2, stageOutputs[2] = o3, stageOutputs[3] = o4;
  stageInputs[0] = i1, stageInputs[1] = i2, stageInputs[2] = i3, stageInputs[3] = i4;
}

}  // namespace brume
