#include "engine/Lfo.h"

#include <cmath>
#include <limits>

namespace brume {

namespace {

// The phase offset is kept only when it fits a finite float.
bool isStorableOffset(double offset) noexcept {
  return std::fabs(offset) <= static_cast<double>(std::numeric_limits<float>::max());
}

}  // namespace

void Lfo::setPeriod(float samples) noexcept {
  const double period = samples;
  const double rate = 1.0 / period;
  if (!(period > 0.0 && period <= std::numeric_limits<float>::max())) return;
  if (!(rate <= std::numeric_limits<float>::max())) return;
  // The phase reached at the latest evaluation stays where it is under the new period.
  const double lastPhase = state.lastPhase.load();
  const double offset = period * lastPhase - (static_cast<double>(state.period.load()) * lastPhase -
                                              static_cast<double>(state.phaseOffset.load()));
  if (!isStorableOffset(offset)) return;
  state.phaseOffset.store(static_cast<float>(offset));
  state.period.store(samples);
  state.rate.store(static_cast<float>(rate));
}

float Lfo::valueAt(std::int32_t time) noexcept {
  // Double precision keeps the phase smooth at sample counts far beyond float resolution.
  const double y = (static_cast<double>(time) + static_cast<double>(state.phaseOffset.load())) *
                   static_cast<double>(state.rate.load());
  const float phase = static_cast<float>(y - std::trunc(y));
  state.lastPhase.store(phase);
  const double low = state.minimum.load();
  const double high = state.maximum.load();
  if (phase <= 0.5f) return static_cast<float>(low + 2.0 * phase * (high - low));
  return static_cast<float>(high - (2.0 * phase - 1.0) * (high - low));
}

void Lfo::syncTo(float value) noexcept {
  const float low = state.minimum.load();
  const float high = state.maximum.load();
  if (high == low) return;
  if (value > high) value = high;
  if (value < low) value = low;
  const double share = (static_cast<double>(value) - low) / (static_cast<double>(high) - low);
  const double lastPhase = state.lastPhase.load();
  const double wantedPhase = lastPhase < 0.5 ? share / 2.0 : 1.0 - share / 2.0;
  const double period = state.period.load();
  const double offset = period * wantedPhase - (period * lastPhase - static_cast<double>(state.phaseOffset.load()));
  if (!isStorableOffset(offset)) return;  // also a value or range that is not a number
  state.phaseOffset.store(static_cast<float>(offset));
}

}  // namespace brume
