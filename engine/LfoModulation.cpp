#include "engine/LfoModulation.h"

#include <limits>

#include "engine/ModulationTargets.h"

namespace brume {

namespace {

// The parameter LFO n is aimed at while switched on, held or not; else kNoTarget.
std::int32_t switchedOnTarget(std::int32_t n, const ParameterValues& values) noexcept {
  const std::int32_t base = kLfo1 + kLfoStride * n;
  if (!(values.get(base) >= 0.5f)) return kNoTarget;
  return lfoTarget(values.get(base + (kL1Aim - kLfo1)));
}

}  // namespace

std::int32_t activeLfoTarget(const Lfo& lfo, std::int32_t n, const ParameterValues& values,
                             std::int32_t sampleCounter) noexcept {
  if (!(sampleCounter > lfo.holdUntil())) return kNoTarget;
  return switchedOnTarget(n, values);
}

bool lfosCanWrite(const ParameterValues& values) noexcept {
  for (std::int32_t n = 0; n < kLfoCount; ++n) {
    if (switchedOnTarget(n, values) != kNoTarget) return true;
  }
  return false;
}

void runLfoTick(Lfo (&lfos)[kLfoCount], const ParameterValues& values, std::int32_t sampleCounter,
                ParameterWriter& writer) noexcept {
  for (std::int32_t n = 0; n < kLfoCount; ++n) {
    const std::int32_t target = activeLfoTarget(lfos[n], n, values, sampleCounter);
    if (target != kNoTarget) writer.writeParameter(target, lfos[n].valueAt(sampleCounter));
  }
}

void resyncLfos(Lfo (&lfos)[kLfoCount], const ParameterValues& values, std::int32_t sampleCounter,
                std::int32_t onlyTarget) noexcept {
  for (std::int32_t n = 0; n < kLfoCount; ++n) {
    const std::int32_t target = activeLfoTarget(lfos[n], n, values, sampleCounter);
    if (target == kNoTarget) continue;
    if (onlyTarget == kNoTarget || onlyTarget == target) lfos[n].syncTo(values.get(target));
  }
}

std::int32_t samplesUntilLfoTick(std::int32_t sampleCounter) noexcept {
  constexpr std::int32_t kLargest = std::numeric_limits<std::int32_t>::max();
  constexpr std::int32_t kSmallest = std::numeric_limits<std::int32_t>::min();
  const std::int32_t remainder = sampleCounter % kLfoTickInterval;  // negative below 0
  if (remainder == 0) return 0;
  if (remainder < 0) return -remainder;
  const std::int32_t distance = kLfoTickInterval - remainder;
  if (sampleCounter <= kLargest - distance) return distance;
  // The next multiple lies past the wrap: count to it from the smallest value.
  return (kLargest - sampleCounter) + 1 - kSmallest % kLfoTickInterval;
}

}  // namespace brume
