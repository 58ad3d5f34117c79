#include "tools/brume7-host/live/PlayOptions.h"

#include "tools/brume7-host/commands/CommandLine.h"
#include "tools/brume7-host/ToolError.h"

namespace brume {

SampleFormat PlayOptions::resolvedFormat() const {
  if (format) return *format;
  return containerForPath(recordPath) == AudioContainer::Flac ? SampleFormat::Pcm24 : SampleFormat::Float32;
}

PlayOptions parsePlayOptions(const std::vector<std::string>& arguments) {
  std::vector<OptionRule> rules = {{"--connect-midi", "", true}, {"--connect-audio", "", true},
                                   {"--no-connect", "", false},  {"--editor", "", false},
                                   {"--record", "", true},       {"--format", "", true},
                                   {"--seconds", "", true},      {"--max-events", "", true}};
  const std::vector<OptionRule>& setupRules = pluginSetupOptionRules();
  rules.insert(rules.end(), setupRules.begin(), setupRules.end());
  const ParsedCommandLine parsed = parseCommandLine(arguments, rules);
  if (parsed.positionals.size() > 1) throw UsageError("give one plug-in at a time");
  PlayOptions options;
  if (!parsed.positionals.empty()) options.pluginPath = parsed.positionals.front();
  for (const auto& [name, value] : parsed.options) {
    if (takePluginSetupOption(name, value, options.setup)) continue;
    if (name == "--connect-midi" || name == "--connect-audio") {
      if (value.empty()) throw UsageError("option '" + name + "' needs a JACK port name");
      (name == "--connect-midi" ? options.midiPorts : options.audioPorts).push_back(value);
    }
    if (name == "--no-connect") options.noConnect = true;
    if (name == "--editor") options.editor = true;
    if (name == "--record") {
      if (value.empty()) throw UsageError("option '--record' needs a file name");
      options.recordPath = value;
    }
    if (name == "--format") options.format = parseSampleFormat(value);
    if (name == "--seconds") options.seconds = parseNumberInRange(value, name, 0.0, 31536000.0);
    if (name == "--max-events") options.maxEventsPerCycle = parseInteger(value, name, 1, 1 << 16);
  }
  if (options.format && options.recordPath.empty()) throw UsageError("option '--format' needs --record");
  return options;
}

}  // namespace brume
