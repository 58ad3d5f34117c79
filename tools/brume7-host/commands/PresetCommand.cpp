// brume7-host preset: saves a plug-in's state as a VST 2 preset file, and
// lists what such a file holds.

#include <cctype>
#include <cstdio>
#include <memory>

#include "tools/brume7-host/ToolError.h"
#include "tools/brume7-host/commands/Command.h"
#include "tools/brume7-host/commands/CommandLine.h"
#include "tools/brume7-host/plugins/OpenPlugin.h"
#include "tools/brume7-host/presets/PluginSetup.h"
#include "tools/brume7-host/presets/PluginState.h"
#include "tools/brume7-host/presets/PresetFileAccess.h"
#include "tools/brume7-host/presets/PresetListing.h"

namespace brume {
namespace {

const char kPresetHelp[] =
    "Usage: brume7-host preset save [OPTIONS] -o FILE.fxp|FILE.fxb\n"
    "       brume7-host preset list [--values] FILE\n"
    "\n"
    "VST 2 preset files: a '.fxp' holds one program, a '.fxb' a bank of all the\n"
    "plug-in's programs.\n"
    "\n"
    "preset save loads a VST 2 plug-in as a host does (sample rate 44100 Hz,\n"
    "block size 512), sets it up with the options below in the order --bank,\n"
    "--program, --preset, then --set, and writes its state: the current program\n"
    "(its name and values) to a '.fxp', all programs to a '.fxb' (format version\n"
    "2, with the current program), as the output's name ends. A plug-in whose\n"
    "programs travel as chunks (flag 0x020) is saved through its get-chunk opcode,\n"
    "any other as names and parameter values. The file is written under a\n"
    "temporary name and renamed when complete: a failed or interrupted save\n"
    "leaves nothing behind, and an older file stays as it was. One line tells\n"
    "what was written.\n"
    "\n"
    "preset list prints what a file holds: its kind and layout, the plug-in's\n"
    "unique ID and version, the counts, a bank's current program, the program\n"
    "names, and a program file's parameter values.\n"
    "\n"
    "Options of save:\n"
    "  -o, --output FILE    the file to write, ending in .fxp or .fxb (required)\n"
    "  -p, --plugin PLUGIN  the VST 2 plug-in module (default: Brume7.so beside\n"
    "                       brume7-host; BRM7.dll on Windows)\n"
    "  --bank FILE.fxb      load a bank: each program selected, named and given\n"
    "                       its values (or the bank's chunk)\n"
    "  --program N          select program N (default after --bank: the bank's\n"
    "                       current program where it names one, else 0)\n"
    "  --preset FILE.fxp    load one program into the current program\n"
    "  --set NAME=VALUE     set a parameter (name, any case, or index; VALUE\n"
    "                       0..1); repeatable, applied last\n"
    "  --force              load files made for another plug-in's unique ID, and\n"
    "                       go on when the plug-in answers 0 to a chunk (some\n"
    "                       plug-ins answer 0 whatever they do)\n"
    "Options of list:\n"
    "  --values             a bank's parameter values too, under each program\n"
    "  -h, --help           show this help\n"
    "\n"
    "A file of another plug-in, with other counts, of the wrong kind or damaged\n"
    "is refused in one line (exit code 1) before the plug-in is changed.\n";

bool endsWithoutCase(const std::string& text, const std::string& end) {
  if (text.size() < end.size()) return false;
  for (std::size_t i = 0; i < end.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[text.size() - end.size() + i]);
    if (std::tolower(c) != end[i]) return false;
  }
  return true;
}

std::string firstLine(const std::string& text) { return text.substr(0, text.find('\n')); }

int runSave(const std::vector<std::string>& arguments) {
  std::vector<OptionRule> rules = pluginSetupOptionRules();
  rules.push_back({"--plugin", "-p", true});
  rules.push_back({"--output", "-o", true});
  const ParsedCommandLine parsed = parseCommandLine(arguments, rules);
  if (!parsed.positionals.empty()) {
    throw UsageError("unexpected argument '" + parsed.positionals.front() + "' (the plug-in goes after --plugin)");
  }
  PluginSetup setup;
  std::string pluginPath;
  std::string outputPath;
  for (const auto& [name, value] : parsed.options) {
    if (takePluginSetupOption(name, value, setup)) continue;
    if (name == "--plugin") pluginPath = value;
    if (name == "--output") outputPath = value;
  }
  if (outputPath.empty()) throw UsageError("no output given: -o FILE.fxp (one program) or -o FILE.fxb (a bank)");
  const bool bank = endsWithoutCase(outputPath, ".fxb");
  if (!bank && !endsWithoutCase(outputPath, ".fxp")) {
    throw UsageError("the output '" + outputPath + "' must end in .fxp (one program) or .fxb (a bank)");
  }

  const SetupPresets presets = readSetupPresets(setup);
  std::unique_ptr<Plugin> plugin = openPlugin(pluginPath);
  const HostSettings settings;
  plugin->configure(settings.sampleRate, settings.blockSize);
  applyPluginSetup(*plugin, setup, presets);
  const PresetFile file = presetFileOfPlugin(*plugin, bank ? PresetKind::Bank : PresetKind::Program);
  plugin.reset();
  writePresetFileAt(outputPath, file);
  std::printf("%s\n", firstLine(describePresetFile(outputPath, file, false)).c_str());
  return 0;
}

int runList(const std::vector<std::string>& arguments) {
  const ParsedCommandLine parsed = parseCommandLine(arguments, {{"--values", "", false}});
  if (parsed.positionals.empty()) throw UsageError("no preset file given");
  if (parsed.positionals.size() > 1) throw UsageError("give one preset file at a time");
  const std::string& path = parsed.positionals.front();
  const std::string text = describePresetFile(path, readPresetFileAt(path), parsed.has("--values"));
  std::fputs(text.c_str(), stdout);
  return 0;
}

int runPreset(const std::vector<std::string>& arguments) {
  if (arguments.empty()) throw UsageError("say what to do: preset save ... or preset list FILE");
  const std::vector<std::string> rest(arguments.begin() + 1, arguments.end());
  if (arguments.front() == "save") return runSave(rest);
  if (arguments.front() == "list") return runList(rest);
  throw UsageError("unknown action '" + arguments.front() + "': preset save or preset list");
}

}  // namespace

const Command kPresetCommand = {"preset", "save a plug-in's state as a .fxp or .fxb preset file, or list one",
                                kPresetHelp, runPreset};

}  // namespace brume
