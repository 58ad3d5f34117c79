#pragma once
// The report of `brume7-host info`: identity, parameters and programs.

#include <string>

#include "tools/brume7-host/plugins/vst2/PluginInstance.h"

namespace brume {

// The names of the set flag bits ("hasEditor canReplacing isSynth"); unknown bits in hex.
std::string describeFlags(VstInt32 flags);
// The category number's meaning ("synthesizer"), or "unknown".
std::string categoryName(VstIntPtr category);
// A unique ID as its four characters ('?' for unprintable ones) and in hex: "'BRM7' (0x42524D37)".
std::string describeUniqueId(VstInt32 id);

// The whole report of an opened instance. Main thread.
std::string describePlugin(PluginInstance& plugin);

}  // namespace brume
