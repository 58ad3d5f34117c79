#pragma once
// Resonant four-pole low-pass filter on the mono sum of the voices: four
// one-pole stages, each adding 0.3 times its previous input, with feedback from
// the fourth stage to the input. Cutoff and resonance are the raw parameter
// values (0 to 1), so the response is fixed relative to the sample rate.

#include "engine/RelaxedAtomic.h"

namespace brume {

class LowPassFilter {
 public:
  // Construction only: zero state, and coefficients as for cutoff 0 and
  // resonance 0 (silent) until the first setCutoffResonance.
  LowPassFilter() noexcept = default;

  LowPassFilter(const LowPassFilter&) = delete;
  LowPassFilter& operator=(const LowPassFilter&) = delete;

  // Any thread, real-time safe.
  void setCutoffResonance(float cutoff, float resonance) noexcept;
  // Audio thread, real-time safe. One sample. A state that has become infinite
  // or not a number is cleared to zero, so the filter recovers by itself.
  float process(float x) noexcept;
  // Audio thread, real-time safe. Filters `count` samples in place, exactly as
  // that many calls of process would, with the coefficients read once. A
  // filter at rest (all state zero) fed silence stays at rest and is skipped.
  void processRun(float* samples, int count) noexcept;

  // The filter for one run with coefficients and state in locals, so that a
  // caller can filter sample by sample inside a loop of its own; the state
  // goes back into the filter when the run is destroyed. Audio thread.
  class Run {
   public:
    explicit Run(LowPassFilter& filter) noexcept;
    ~Run();
    Run(const Run&) = delete;
    Run& operator=(const Run&) = delete;

    // Exactly what process does, term by term.
    float step(float x) noexcept {
      const float a = (x - k * o4) * g;
      o1 = a + 0.3f * i1 + damping * o1;
      i1 = a;
      o2 = o1 + 0.3f * i2 + damping * o2;
      i2 = o1;
      o3 = o2 + 0.3f * i3 + damping * o3;
      i3 = o2;
      o4 = o3 + 0.3f * i4 + damping * o4;
      i4 = o3;
      if (!(o4 - o4 == 0.0f)) o1 = o2 = o3 = o4 = i1 = i2 = i3 = i4 = 0.0f;  // not finite
      return gain * o4;
    }
    // At rest (all state zero), silence keeps it at rest: the output is gain x 0.
    bool atRest() const noexcept;
    float restingOutput() const noexcept { return gain * 0.0f; }

   private:
    LowPassFilter& filter;
    float f, k, g, gain, damping;
    float o1, o2, o3, o4, i1, i2, i3, i4;
  };

  // Any thread, real-time safe.
  float cutoffCoefficient() const noexcept { return coefficients.f.load(); }
  float feedback() const noexcept { return coefficients.k.load(); }
  float inputGain() const noexcept { return coefficients.g.load(); }
  float outputGain() const noexcept { return coefficients.outputGain.load(); }

 private:
  static constexpr int kStages = 4;

  struct Coefficients {
    RelaxedAtomic<float> f{0.0f};           // cutoff coefficient
    RelaxedAtomic<float> k{0.0f};           // feedback amount
    RelaxedAtomic<float> g{0.0f};           // input gain
    RelaxedAtomic<float> outputGain{1.0f};  // 2 x resonance + 1
  };

  Coefficients coefficients;
  float stageOutputs[kStages] = {};  // o1 to o4
  float stageInputs[kStages] = {};   // i1 to i4: the previous input of each stage
};

}  // namespace brume
