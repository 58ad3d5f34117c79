#pragma once
// A tempo-synchronised triangle LFO. It only computes values; the tick in
// LfoModulation writes them to the target parameter.

#include <cstdint>

#include "engine/RelaxedAtomic.h"

namespace brume {

class Lfo {
 public:
  Lfo() noexcept = default;

  Lfo(const Lfo&) = delete;
  Lfo& operator=(const Lfo&) = delete;

  // Any thread, real-time safe. A new period in samples that keeps the current
  // phase. A period that is not positive and finite (or whose inverse is not
  // finite) is ignored, so the LFO keeps running at its previous period.
  void setPeriod(float samples) noexcept;
  // Any thread, real-time safe.
  void setMinimum(float value) noexcept { state.minimum.store(value); }
  void setMaximum(float value) noexcept { state.maximum.store(value); }
  // Any thread, real-time safe. The sample counter value that must be exceeded
  // before the LFO writes or follows its target again.
  void setHoldUntil(std::int32_t sampleCounter) noexcept { state.holdUntil.store(sampleCounter); }

  // Audio thread, real-time safe. The triangle value at a sample counter time:
  // minimum to maximum over the first half period, back over the second.
  float valueAt(std::int32_t time) noexcept;
  // Any thread, real-time safe. Moves the phase so that the LFO continues from
  // `value` in the direction it was moving. Nothing happens when minimum equals
  // maximum or when the value is not a number.
  void syncTo(float value) noexcept;

  // Any thread, real-time safe.
  float minimum() const noexcept { return state.minimum.load(); }
  float maximum() const noexcept { return state.maximum.load(); }
  float period() const noexcept { return state.period.load(); }
  float rate() const noexcept { return state.rate.load(); }
  float phaseOffset() const noexcept { return state.phaseOffset.load(); }
  float lastPhase() const noexcept { return state.lastPhase.load(); }
  std::int32_t holdUntil() const noexcept { return state.holdUntil.load(); }

 private:
  // Written from whichever thread sets parameters, read by the audio thread.
  struct State {
    RelaxedAtomic<float> minimum{0.0f};
    RelaxedAtomic<float> maximum{1.0f};
    RelaxedAtomic<float> period{10000.0f};   // samples per cycle
    RelaxedAtomic<float> rate{0.0001f};      // 1 / period
    RelaxedAtomic<float> phaseOffset{0.0f};  // samples added to the time before dividing by the period
    RelaxedAtomic<float> lastPhase{0.0f};    // phase (0 to 1) of the latest evaluation
    RelaxedAtomic<std::int32_t> holdUntil{0};
  };

  State state;
};

}  // namespace brume
