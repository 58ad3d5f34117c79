#include <cstdio>
#include <memory>

#include "tools/brume7-host/commands/Command.h"
#include "tools/brume7-host/commands/CommandLine.h"
#include "tools/brume7-host/plugins/PluginInfo.h"
#include "tools/brume7-host/plugins/vst2/PluginInstance.h"
#include "tools/brume7-host/render/RenderSession.h"
#include "tools/brume7-host/ToolError.h"

namespace brume {
namespace {

const char kInfoHelp[] =
    "Usage: brume7-host info [PLUGIN]\n"
    "\n"
    "Loads PLUGIN as a host does (entry, open, sample rate 44100 Hz, block size 512)\n"
    "and prints:\n"
    "  - its identity: effect name, vendor, product, vendor version, unique ID (as\n"
    "    four characters and in hex), version, numbers of programs, parameters,\n"
    "    inputs and outputs, initial delay, flags by name, category, and its answers\n"
    "    to \"receiveVstEvents\", \"receiveVstMidiEvent\" and \"receiveVstTimeInfo\"\n"
    "    (1 yes, -1 no, 0 no opinion);\n"
    "  - a table of all parameters: index, name, display text, label and value;\n"
    "  - the names of all programs.\n"
    "\n"
    "Arguments:\n"
    "  PLUGIN       the plug-in module (default: Brume7.so beside brume7-host;\n"
    "               BRM7.dll on Windows)\n"
    "  -h, --help   show this help\n";

int runInfo(const std::vector<std::string>& arguments) {
  const ParsedCommandLine parsed = parseCommandLine(arguments, {});
  if (parsed.positionals.size() > 1) throw UsageError("give one plug-in at a time");
  const std::string path = parsed.positionals.empty() ? defaultPluginPath() : parsed.positionals.front();
  HostContext host;
  PluginInstance plugin(std::make_shared<PluginLibrary>(path), host);
  plugin.open();
  const std::string report = describePlugin(plugin);
  plugin.close();
  std::fputs(report.c_str(), stdout);
  return 0;
}

}  // namespace

const Command kInfoCommand = {"info", "print a plug-in's identity, parameters and programs", kInfoHelp, runInfo};

}  // namespace brume
