#include "engine/LowPassFilter.h"

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

}  // namespace brume
