#include <cstdio>
#include <memory>

#include "tools/brume7-host/ToolError.h"
#include "tools/brume7-host/commands/Command.h"
#include "tools/brume7-host/commands/CommandLine.h"
#include "tools/brume7-host/plugins/OpenPlugin.h"
#include "tools/brume7-host/plugins/PluginInfo.h"

namespace brume {
namespace {

const char kInfoHelp[] =
    "Usage: brume7-host info [PLUGIN]\n"
    "\n"
    "Loads PLUGIN as a host does (sample rate 44100 Hz, block size 512) and prints:\n"
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
    "  PLUGIN       a VST 2 module file, or an LV2 plug-in by URI or bundle folder\n"
    "               (default: Brume7.so beside brume7-host; BRM7.dll on Windows)\n"
    "  -h, --help   show this help\n";

int runInfo(const std::vector<std::string>& arguments) {
  const ParsedCommandLine parsed = parseCommandLine(arguments, {});
  if (parsed.positionals.size() > 1) throw UsageError("give one plug-in at a time");
  std::unique_ptr<Plugin> plugin = openPlugin(parsed.positionals.empty() ? "" : parsed.positionals.front());
  const HostSettings settings;
  plugin->configure(settings.sampleRate, settings.blockSize);
  const std::string report = describePlugin(*plugin);
  plugin.reset();
  std::fputs(report.c_str(), stdout);
  return 0;
}

}  // namespace

const Command kInfoCommand = {"info", "print a plug-in's identity, parameters and programs", kInfoHelp, runInfo};

}  // namespace brume
