#pragma once
// How a command line sets a plug-in up before it plays, is shown or saved: a
// bank of programs (--bank FILE.fxb), the program (--program N), one
// program's preset (--preset FILE.fxp) and single values (--set NAME=VALUE),
// applied in that order, as a VST 2 host applies them.

#include <optional>
#include <string>
#include <vector>

#include "host/PresetFile.h"
#include "tools/brume7-host/commands/CommandLine.h"
#include "tools/brume7-host/commands/ParameterAssignment.h"
#include "tools/brume7-host/plugins/Plugin.h"

namespace brume {

struct PluginSetup {
  std::string bankPath;                       // empty: no bank
  std::optional<int> program;                 // unset: the bank's current program, else none chosen
  std::string presetPath;                     // empty: no program file
  std::vector<ParameterAssignment> settings;  // last, in order
  // Take files made for another plug-in's unique id, and chunks that the plug-in answers with 0.
  bool force = false;
};

// --bank, --program, --preset, --set and --force, for the command-line parser.
const std::vector<OptionRule>& pluginSetupOptionRules();
// Takes one parsed option into `setup`; false when it is none of those. Throws UsageError. Any thread.
bool takePluginSetupOption(const std::string& name, const std::string& value, PluginSetup& setup);

// The preset files of a setup, read and parsed.
struct SetupPresets {
  std::optional<PresetFile> bank;
  std::optional<PresetFile> program;
};

// Reads the files and checks what needs no plug-in: each is of the kind its
// option takes, and parameter values lie within 0..1. Throws ToolError with
// one line. Main thread.
SetupPresets readSetupPresets(const PluginSetup& setup);

// Checks the rest against the plug-in before changing anything (the files'
// unique id, layout and counts, the program number, the parameters named),
// then applies the bank (each program selected, named and given its values,
// or the bank's chunk), selects the program (given, else the bank's current
// one, else 0 after a bank), applies the program file to the current program
// (its name and values, or its chunk) and the settings. Only a chunk the
// plug-in refuses (it answers 0) is found once something is applied. Throws ToolError or
// UsageError (a value outside a parameter's range). Main thread; the plug-in
// configured and stopped.
void applyPluginSetup(Plugin& plugin, const PluginSetup& setup, const SetupPresets& presets);

}  // namespace brume
