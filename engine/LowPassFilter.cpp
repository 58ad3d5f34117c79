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
  Run run(*this);
  if (run.atRest() && std::all_of(samples, samples + count, [](float x) { return x == 0.0f; })) {
    std::fill(samples, samples + count, run.restingOutput());
    return;
  }
  for (int n = 0; n < count; ++n) samples[n] = run.step(samples[n]);
}

LowPassFilter::Run::Run(LowPassFilter& filter) noexcept
    : filter(filter),
      f(filter.coefficients.f.load()),
      k(filter.coefficients.k.load()),
      g(filter.coefficients.g.load()),
      gain(filter.coefficients.outputGain.load()),
      damping(1.0f - f),
      o1(filter.stageOutputs[0]),
      o2(filter.stageOutputs[1]),
      o3(filter.stageOutputs[2]),
      o4(filter.stageOutputs[3]),
      i1(filter.stageInputs[0]),
      i2(filter.stageInputs[1]),
      i3(filter.stageInputs[2]),
      i4(filter.stageInputs[3]) {}

LowPassFilter::Run::~Run() {
  filter.stageOutputs[0] = o1, filter.stageOutputs[1] = o2, filter.stageOutputs[2] = o3, filter.stageOutputs[3] = o4;
  filter.stageInputs[0] = i1, filter.stageInputs[1] = i2, filter.stageInputs[2] = i3, filter.stageInputs[3] = i4;
}

bool LowPassFilter::Run::atRest() const noexcept {
  return o1 == 0.0f && o2 == 0.0f && o3 == 0.0f && o4 == 0.0f && i1 == 0.0f && i2 == 0.0f && i3 == 0.0f &&
         i4 == 0.0f;
}

}  // namespace brume
