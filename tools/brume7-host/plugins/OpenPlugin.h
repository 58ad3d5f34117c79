#pragma once
// Opening "a plug-in named on the command line": the one place that decides
// its format.

#include <memory>
#include <string>

#include "tools/brume7-host/plugins/Plugin.h"

namespace brume {

// Offline renders answer the plug-in's callbacks on one thread; live play from several.
enum class PluginUse { Offline, Live };

// The format a location names: an existing folder, a name ending in ".lv2"
// or a URI ("scheme:...", not an existing file) is LV2; anything else a VST 2
// module file. Any thread.
PluginFormat pluginFormatOf(const std::string& location);

// Opens the plug-in at `location` (the default plug-in when empty): a VST 2
// instance is created, an LV2 plug-in found and checked; neither is
// configured yet. `settings` are what a VST 2 host reports during creation.
// Throws ToolError with one line. Main thread.
std::unique_ptr<Plugin> openPlugin(const std::string& location, const HostSettings& settings = HostSettings{},
                                   PluginUse use = PluginUse::Offline);

// The default plug-in: Brume7.so (BRM7.dll on Windows) in the folder of the running
// executable; where there is none, an installed brume7-host looks in ../lib/vst, then ~/.vst.
std::string defaultPluginPath();

}  // namespace brume
