#include "tools/brume7-host/presets/PluginState.h"

#include "tools/brume7-host/ToolError.h"

namespace brume {
namespace {

std::vector<float> currentValues(Plugin& plugin) {
  std::vector<float> values;
  for (int i = 0; i < plugin.parameterCount(); ++i) values.push_back(plugin.parameter(i));
  return values;
}

}  // namespace

PresetFile presetFileOfPlugin(Plugin& plugin, PresetKind kind) {
  PresetFile file;
  if (!plugin.presetFileIdentity(file.pluginId, file.pluginVersion)) {
    throw ToolError("'" + plugin.location() + "' is an LV2 plug-in, and .fxp and .fxb files are VST 2 preset files");
  }
  file.kind = kind;
  const int programs = plugin.programCount();
  const int reported = plugin.currentProgram();
  const int current = reported >= 0 && reported < programs ? reported : -1;
  const bool bank = kind == PresetKind::Bank;
  if (bank) {
    file.formatVersion = 2;
    file.currentProgram = current >= 0 ? current : 0;
  }

  if (plugin.programsAreChunks()) {
    file.layout = PresetLayout::OpaqueChunk;
    file.count = bank ? programs : plugin.parameterCount();
    file.chunk = plugin.saveChunk(!bank);
    if (file.chunk.empty()) {
      throw ToolError(std::string("the plug-in gave no chunk of its ") + (bank ? "programs" : "program") +
                      " (its programs travel as chunks)");
    }
    if (!bank) file.programs.push_back({current >= 0 ? plugin.programName(current) : "", {}});
    return file;
  }

  file.count = bank ? programs : plugin.parameterCount();
  if (!bank) {
    file.programs.push_back({current >= 0 ? plugin.programName(current) : "", currentValues(plugin)});
    return file;
  }
  // The current program's values are the live ones; the others are read by selecting each.
  file.programs.resize(static_cast<std::size_t>(programs));
  if (current >= 0)
    file.programs[static_cast<std::size_t>(current)] = {plugin.programName(current), currentValues(plugin)};
  for (int p = 0; p < programs; ++p) {
    if (p == current) continue;
    plugin.selectProgram(p);
    file.programs[static_cast<std::size_t>(p)] = {plugin.programName(p), currentValues(plugin)};
  }
  if (current >= 0 && programs > 1) plugin.selectProgram(current);
  return file;
}

}  // namespace brume
