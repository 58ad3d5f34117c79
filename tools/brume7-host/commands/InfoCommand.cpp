#include <cstdio>
#include <memory>

#include "tools/brume7-host/ToolError.h"
#include "tools/brume7-host/commands/Command.h"
#include "tools/brume7-host/commands/CommandLine.h"
#include "tools/brume7-host/plugins/OpenPlugin.h"
#include "tools/brume7-host/plugins/PluginInfo.h"
#include "tools/brume7-host/presets/PluginSetup.h"

namespace brume {
namespace {

const char kInfoHelp[] =
    "Usage: brume7-host info [OPTIONS] [PLUGIN]\n"
    "\n"
    "Loads PLUGIN as a host does (sample rate 44100 Hz, block size 512), sets it\n"
    "up as the options say, and prints:\n"
    "  - its identity. A VST 2 plug-in: effect name, vendor, product, vendor\n"
    "    version, unique ID (as four characters and in hex), version, numbers of\n"
    "    programs, parameters, inputs and outputs, initial delay, flags by name,\n"
    "    category, and its answers to \"receiveVstEvents\", \"receiveVstMidiEvent\"\n"
    "    and \"receiveVstTimeInfo\" (1 yes, -1 no, 0 no opinion). An LV2 plug-in:\n"
    "    URI, bundle, name, author, version, class, the numbers of programs,\n"
    "    parameters (its control inputs), audio inputs and outputs, its features\n"
    "    and extensions;\n"
    "  - a table of all parameters: index, name, display text, label and value;\n"
    "  - the names of all programs (an LV2 plug-in's through the KXStudio programs\n"
    "    extension);\n"
    "  - for an LV2 plug-in, all its ports and its presets.\n"
    "\n"
    "Arguments:\n"
    "  PLUGIN             a VST 2 module file, or an LV2 plug-in by URI or bundle\n"
    "                     folder (default: Brume7.so beside brume7-host; BRM7.dll\n"
    "                     on Windows)\n"
    "\n"
    "Options, applied in this order:\n"
    "  --bank FILE.fxb    load a VST 2 bank: each program selected, named and\n"
    "                     given its values (or the bank's chunk), then the bank's\n"
    "                     current program selected (format version 2), else 0\n"
    "  --program N        select program N\n"
    "  --preset FILE.fxp  load a VST 2 program into the current program\n"
    "  --set NAME=VALUE   set a parameter (name, any case, an LV2 port's symbol,\n"
    "                     or index; VALUE 0..1 for VST 2, in the port's range for\n"
    "                     LV2); repeatable\n"
    "  --force            load preset files made for another plug-in's unique ID,\n"
    "                     and go on when the plug-in answers 0 to a chunk\n"
    "  -h, --help         show this help\n";

int runInfo(const std::vector<std::string>& arguments) {
  const ParsedCommandLine parsed = parseCommandLine(arguments, pluginSetupOptionRules());
  if (parsed.positionals.size() > 1) throw UsageError("give one plug-in at a time");
  PluginSetup setup;
  for (const auto& [name, value] : parsed.options) takePluginSetupOption(name, value, setup);
  const SetupPresets presets = readSetupPresets(setup);
  std::unique_ptr<Plugin> plugin = openPlugin(parsed.positionals.empty() ? "" : parsed.positionals.front());
  const HostSettings settings;
  plugin->configure(settings.sampleRate, settings.blockSize);
  applyPluginSetup(*plugin, setup, presets);
  const std::string report = describePlugin(*plugin);
  plugin.reset();
  std::fputs(report.c_str(), stdout);
  return 0;
}

}  // namespace

const Command kInfoCommand = {"info", "print a plug-in's identity, parameters and programs", kInfoHelp, runInfo};

}  // namespace brume
