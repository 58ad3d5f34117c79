#include "engine/LfoModulation.h"

#include "engine/ModulationTargets.h"

namespace brume {

std::int32_t activeLfoTarget(const Lfo& lfo, std::int32_t n, const ParameterValues& values,
                             std::int32_t sampleCounter) noexcept {
  const std::int32_t base = kLfo1 + kLfoStride * n;
  if (!(values.get(base) >= 0.5f)) return kNoTarget;
  if (!(sampleCounter > lfo.holdUntil())) return kNoTarget;
  return lfoTarget(values.get(base + (kL1Aim - kLfo1)));
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

}  // namespace brume
