#pragma once
// A plug-in's state as a VST 2 preset file, the way a host saves one: as the
// plug-in's own chunk where its programs travel as chunks, else as program
// names and parameter values.

#include "host/PresetFile.h"
#include "tools/brume7-host/plugins/Plugin.h"

namespace brume {

// A program file holds the current program; a bank all programs, with the
// current one (format version 2). Reading a bank of parameter lists selects
// each program in turn, then the current one again. Throws ToolError (a plug-in
// of a format without preset files, a chunk plug-in that gives no chunk).
// Main thread; the plug-in configured and stopped.
PresetFile presetFileOfPlugin(Plugin& plugin, PresetKind kind);

}  // namespace brume
