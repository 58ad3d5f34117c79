#include "engine/OutputStage.h"

namespace brume {

OutputGains outputGainsFor(float volume, float pan, float comp) noexcept {
  OutputGains gains;
  gains.left = (1.0f - pan) * volume;
  gains.right = pan * volume;
  gains.outerSlope = (1.0f - comp) * 1.3333334f;
  gains.innerSlope = comp * 4.0f;
  return gains;
}

}  // namespace brume
