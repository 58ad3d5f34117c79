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

LowPassFilter::Run LowPassFilter::startRun() const noexcept {
  Run run;
  run.k = coefficients.k.load();
  run.g = coefficients.g.load();
  run.gain = coefficients.outputGain.load();
  run.damping = 1.0f - coefficients.f.load();
  run.o1 = stageOutputs[0], run.o2 = stageOutputs[1], run.o3 = stageOutputs[2], run.o4 = stageOutputs[3];
  run.i1 = stageInputs[0], run.i2 = stageInputs[1], run.i3 = stageInputs[2], run.i4 = stageInputs[3];
  return run;
}

void LowPassFilter::keep(const Run& run) noexcept {
  stageOutputs[0] = run.o1, stageOutputs[1] = run.o2, stageOutputs[2] = run.o3, stageOutputs[3] = run.o4;
  stageInputs[0] = run.i1, stageInputs[1] = run.i2, stageInputs[2] = run.i3, stageInputs[3] = run.i4;
}

bool LowPassFilter::Run::atRest() const noexcept {
  return o1 == 0.0f && o2 == 0.0f && o3 == 0.0f && o4 == 0.0f && i1 == 0.0f && i2 == 0.0f && i3 == 0.0f && i4 == 0.0f;
}

}  // namespace brume
