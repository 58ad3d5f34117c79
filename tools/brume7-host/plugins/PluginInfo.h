#pragma once
// The report of `brume7-host info`: identity, parameters and programs, and
// what the plug-in's format adds.

#include <string>

#include "tools/brume7-host/plugins/Plugin.h"

namespace brume {

// The whole report of a configured plug-in. Main thread.
std::string describePlugin(Plugin& plugin);

}  // namespace brume
