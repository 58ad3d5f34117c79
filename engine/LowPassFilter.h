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

  // The filter for one run as a value: the coefficients of one moment and the
  // state, in locals, so that a caller can filter sample by sample inside a
  // loop of its own, interleaved with other work. `keep` puts the state back.
  class Run {
   public:
    // Exactly what process does, term by term. Always inlined: the kernels
    // built for wider instruction sets call it too, and an out-of-line copy of
    // theirs must never stand in for everyone's.
    __attribute__((always_inline)) float step(float x) noexcept {
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
    // The state of `earlier`, these coefficients: a run that follows it.
    __attribute__((always_inline)) void continueFrom(const Run& earlier) noexcept {
      o1 = earlier.o1, o2 = earlier.o2, o3 = earlier.o3, o4 = earlier.o4;
      i1 = earlier.i1, i2 = earlier.i2, i3 = earlier.i3, i4 = earlier.i4;
    }
    float restingOutput() const noexcept { return gain * 0.0f; }

   private:
    friend class LowPassFilter;
    float k = 0.0f, g = 0.0f, gain = 1.0f, damping = 1.0f;
    float o1 = 0.0f, o2 = 0.0f, o3 = 0.0f, o4 = 0.0f, i1 = 0.0f, i2 = 0.0f, i3 = 0.0f, i4 = 0.0f;
  };

  // Audio thread. The current coefficients and state.
  Run startRun() const noexcept;
  // Audio thread. The state of a run started from this filter's last kept state.
  void keep(const Run& run) noexcept;

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
