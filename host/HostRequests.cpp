// The requests the base effect makes of its host: each checks for a callback
// first and answers as if the host had said nothing when there is none.
#include "host/EffectBase.h"

namespace brume {

void EffectBase::setParameterAndNotify(VstInt32 index, float value) {
  setParameter(index, value);
  if (hostCallback) callHost(kHostAutomate, index, 0, nullptr, value);
}

VstInt32 EffectBase::hostVersion() {
  if (!hostCallback) return 1;
  const VstIntPtr answer = callHost(kHostVersion);
  return answer == 0 ? 1 : static_cast<VstInt32>(answer);
}

VstInt32 EffectBase::hostCurrentId() { return static_cast<VstInt32>(callHost(kHostCurrentId)); }

void EffectBase::hostIdle() {
  if (hostCallback) callHost(kHostIdle);
}

// The host answers 0 for a connected pin.
bool EffectBase::isInputConnected(VstInt32 index) {
  if (!hostCallback) return true;
  return callHost(kHostPinConnected, index, 0) == 0;
}

bool EffectBase::isOutputConnected(VstInt32 index) {
  if (!hostCallback) return true;
  return callHost(kHostPinConnected, index, 1) == 0;
}

}  // namespace brume
