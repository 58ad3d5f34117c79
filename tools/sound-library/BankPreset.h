#pragma once
// A sound bank as Brume7's VST 2 bank file (.fxb): a parameter-list bank of
// 16 programs of 54 values, the programs past the bank's sounds "Basic".

#include "host/PresetFile.h"
#include "tools/sound-library/SoundBank.h"

namespace brume::sounds {

constexpr std::int32_t kBrume7PluginVersion = 1;

// Any thread; not real-time safe.
PresetFile bankPresetFile(const SoundBank& bank);

}  // namespace brume::sounds
