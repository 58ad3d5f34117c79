#include "tools/brume7-host/presets/PluginSetup.h"

#include <cstdio>

#include "tools/brume7-host/ToolError.h"
#include "tools/brume7-host/presets/PresetFileAccess.h"

namespace brume {
namespace {

struct FileOption {
  const char* option;
  PresetKind kind;
};

constexpr FileOption kBankOption = {"--bank", PresetKind::Bank};
constexpr FileOption kPresetOption = {"--preset", PresetKind::Program};

std::string named(const FileOption& option, const std::string& path) {
  return std::string(option.option) + " '" + path + "'";
}

std::string valueText(float value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", static_cast<double>(value));
  return text;
}

// VST 2 parameter values lie within 0..1; anything else, NaN included, is a damaged file.
void checkValues(const PresetFile& file, const FileOption& option, const std::string& path) {
  for (std::size_t p = 0; p < file.programs.size(); ++p) {
    const std::vector<float>& values = file.programs[p].values;
    for (std::size_t i = 0; i < values.size(); ++i) {
      if (values[i] >= 0.0f && values[i] <= 1.0f) continue;
      const std::string where = file.kind == PresetKind::Bank ? "program " + std::to_string(p) + " has" : "it has";
      throw ToolError(named(option, path) + ": " + where + " the value " + valueText(values[i]) + " for parameter " +
                      std::to_string(i) + ", outside 0..1");
    }
  }
}

std::optional<PresetFile> readFile(const std::string& path, const FileOption& option) {
  if (path.empty()) return std::nullopt;
  PresetFile file = readPresetFileAt(path, option.option);
  if (file.kind != option.kind) {
    throw ToolError(named(option, path) + ": " +
                    (file.kind == PresetKind::Bank ? "a bank (.fxb); --preset takes one program, --bank a bank"
                                                   : "one program (.fxp); --bank takes a bank, --preset one program"));
  }
  checkValues(file, option, path);
  return file;
}

void checkFits(const PresetFile& file, const FileOption& option, const std::string& path, Plugin& plugin,
               std::int32_t uniqueId, bool force) {
  const std::string why =
      presetMismatch(file, uniqueId, plugin.parameterCount(), plugin.programCount(), plugin.programsAreChunks(), force);
  if (why.empty()) return;
  const bool otherPlugin = !force && file.pluginId != uniqueId;
  throw ToolError(named(option, path) + ": " + why + (otherPlugin ? " (--force loads it all the same)" : ""));
}

void applyValues(Plugin& plugin, const std::vector<float>& values) {
  for (std::size_t i = 0; i < values.size(); ++i) plugin.setParameter(static_cast<int>(i), values[i]);
}

// A plug-in refuses a chunk by answering 0; some answer 0 whatever they do, which --force lets pass.
void loadChunk(Plugin& plugin, const PresetFile& file, const FileOption& option, const std::string& path, bool force) {
  if (!plugin.loadChunk(file.chunk, file.kind == PresetKind::Program) && !force) {
    throw ToolError(named(option, path) +
                    ": the plug-in refused the file's chunk (it answered 0; --force goes on all the same, for "
                    "plug-ins that answer 0 whatever they do)");
  }
}

}  // namespace

const std::vector<OptionRule>& pluginSetupOptionRules() {
  static const std::vector<OptionRule> rules = {
      {"--bank", "", true}, {"--program", "", true}, {"--preset", "", true},
      {"--set", "", true},  {"--force", "", false},
  };
  return rules;
}

bool takePluginSetupOption(const std::string& name, const std::string& value, PluginSetup& setup) {
  if (name == "--bank" || name == "--preset") {
    if (value.empty()) throw UsageError("option '" + name + "' needs a file name");
    (name == "--bank" ? setup.bankPath : setup.presetPath) = value;
  } else if (name == "--program") {
    setup.program = parseInteger(value, name, 0, 1 << 20);
  } else if (name == "--set") {
    setup.settings.push_back(parseAssignment(value, name));
  } else if (name == "--force") {
    setup.force = true;
  } else {
    return false;
  }
  return true;
}

SetupPresets readSetupPresets(const PluginSetup& setup) {
  SetupPresets presets;
  presets.bank = readFile(setup.bankPath, kBankOption);
  presets.program = readFile(setup.presetPath, kPresetOption);
  return presets;
}

void applyPluginSetup(Plugin& plugin, const PluginSetup& setup, const SetupPresets& presets) {
  // Everything is checked first: a refusal leaves the plug-in as it was.
  std::int32_t uniqueId = 0;
  std::int32_t version = 0;
  if ((presets.bank || presets.program) && !plugin.presetFileIdentity(uniqueId, version)) {
    const FileOption& option = presets.bank ? kBankOption : kPresetOption;
    throw ToolError(std::string(option.option) + ": '" + plugin.location() + "' is an LV2 plug-in, and .fxp and " +
                    ".fxb files are VST 2 preset files");
  }
  if (presets.bank) checkFits(*presets.bank, kBankOption, setup.bankPath, plugin, uniqueId, setup.force);
  if (presets.program) checkFits(*presets.program, kPresetOption, setup.presetPath, plugin, uniqueId, setup.force);

  const int programs = plugin.programCount();
  std::optional<int> chosen = setup.program;
  if (chosen && *chosen >= programs) throw ToolError(programRefusal("--program", *chosen, programs));
  // A plug-in without programs (a chunk holds its whole state) has none to select.
  if (!chosen && presets.bank && programs > 0) {
    const int current = presets.bank->currentProgram;
    if (current >= programs) {
      throw ToolError(named(kBankOption, setup.bankPath) + ": its current program " + std::to_string(current) +
                      " is not one of the plug-in's " + std::to_string(programs));
    }
    chosen = current >= 0 ? current : 0;
  }
  std::vector<int> indexes;
  for (const ParameterAssignment& setting : setup.settings) indexes.push_back(resolveSetting(plugin, setting));

  if (presets.bank) {
    const PresetFile& bank = *presets.bank;
    if (bank.layout == PresetLayout::OpaqueChunk) {
      loadChunk(plugin, bank, kBankOption, setup.bankPath, setup.force);
    } else {
      for (std::size_t p = 0; p < bank.programs.size(); ++p) {
        plugin.selectProgram(static_cast<int>(p));
        plugin.renameProgram(bank.programs[p].name);
        applyValues(plugin, bank.programs[p].values);
      }
    }
  }
  if (chosen && !plugin.selectProgram(*chosen)) throw ToolError(programRefusal("--program", *chosen, programs));
  if (presets.program) {
    const PresetFile& program = *presets.program;
    if (program.layout == PresetLayout::OpaqueChunk) {
      loadChunk(plugin, program, kPresetOption, setup.presetPath, setup.force);
    } else {
      plugin.renameProgram(program.programs.front().name);
      applyValues(plugin, program.programs.front().values);
    }
  }
  for (std::size_t i = 0; i < indexes.size(); ++i) plugin.setParameter(indexes[i], setup.settings[i].value);
}

}  // namespace brume
