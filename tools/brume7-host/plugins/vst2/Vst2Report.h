#pragma once
// The VST 2 part of `brume7-host info`: a record's identity, flags and category in words.

#include <string>

#include "tools/brume7-host/plugins/vst2/PluginInstance.h"

namespace brume {

// The names of the set flag bits ("hasEditor canReplacing isSynth"); unknown bits in hex.
std::string describeFlags(VstInt32 flags);
// The category number's meaning ("synthesizer"), or "unknown".
std::string categoryName(VstIntPtr category);
// A unique ID as its four characters ('?' for unprintable ones) and in hex: "'BRM7' (0x42524D37)".
std::string describeUniqueId(VstInt32 id);

// The identity lines of an opened instance: module, names, IDs, counts, flags,
// category and capabilities. Main thread.
std::string describeVst2Identity(PluginInstance& plugin);

}  // namespace brume
