#include "host/PluginEntry.h"

namespace brume {

AEffect* pluginMain(audioMasterCallback hostCallback, EffectFactory create) {
  if (!hostCallback || !create) return nullptr;
  if (hostCallback(nullptr, kHostVersion, 0, 0, nullptr, 0.0f) == 0) return nullptr;
  EffectBase* effect = create(hostCallback);
  return effect ? effect->record() : nullptr;
}

}  // namespace brume
