#pragma once
// The plug-in's entry: one new instance per call.

#include "host/EffectBase.h"

namespace brume {

using EffectFactory = EffectBase* (*)(audioMasterCallback hostCallback);

// Defined by the instrument: a new instance, or null when memory runs out.
EffectBase* createEffectInstance(audioMasterCallback hostCallback);

// What the exported `main` does: asks the host's version (no instance for a
// host that answers 0 or has no callback), then makes an instance with
// `create` and returns its record, or null. Any thread the host chooses.
AEffect* pluginMain(audioMasterCallback hostCallback, EffectFactory create);

}  // namespace brume
