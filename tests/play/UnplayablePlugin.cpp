// Plug-ins that `play` must refuse: KIND 1 is an effect (no synthesizer flag,
// effect category), KIND 2 an instrument without audio outputs.

#include "host/HostRecords.h"

namespace {

using brume::AEffect;
using brume::VstInt32;
using brume::VstIntPtr;

VstIntPtr BRUME_VSTCALL dispatch(AEffect* effect, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
  constexpr VstInt32 kClose = 1;
  constexpr VstInt32 kCategory = 35;
  if (opcode == kClose) delete effect;
  if (opcode == kCategory) return UNPLAYABLE_KIND == 1 ? 1 : 2;
  return 0;
}

void BRUME_VSTCALL processReplacing(AEffect*, float**, float**, VstInt32) {}
void BRUME_VSTCALL setParameter(AEffect*, VstInt32, float) {}
float BRUME_VSTCALL getParameter(AEffect*, VstInt32) { return 0.0f; }

}  // namespace

extern "C" __attribute__((visibility("default"))) AEffect* VSTPluginMain(brume::audioMasterCallback host) {
  if (host == nullptr || host(nullptr, brume::kHostVersion, 0, 0, nullptr, 0.0f) == 0) return nullptr;
  auto* effect = new AEffect{};
  effect->magic = brume::kEffectMagic;
  effect->dispatcher = dispatch;
  effect->processReplacing = processReplacing;
  effect->setParameter = setParameter;
  effect->getParameter = getParameter;
  effect->numInputs = UNPLAYABLE_KIND == 1 ? 2 : 0;
  effect->numOutputs = UNPLAYABLE_KIND == 1 ? 2 : 0;
  effect->flags = brume::kFlagCanReplacing | (UNPLAYABLE_KIND == 1 ? 0 : brume::kFlagIsSynth);
  return effect;
}
