#include "tools/brume7-host/render/RenderOptions.h"

#include <algorithm>
#include <utility>

#include "tools/brume7-host/commands/CommandLine.h"
#include "tools/brume7-host/ToolError.h"

namespace brume {
namespace {

const std::vector<OptionRule>& renderOptionRules() {
  static const std::vector<OptionRule> rules = [] {
    std::vector<OptionRule> all = {
        {"--plugin", "-p", true},     {"--demo", "", false},      {"--rate", "", true},   {"--block", "", true},
        {"--channels", "", true},     {"--set-at", "", true},     {"--tail", "", true},   {"--tempo", "", true},
        {"--input", "", true},        {"--output", "-o", true},   {"--format", "", true}, {"--length", "", true},
        {"--no-progress", "", false}, {"--max-length", "", true},
    };
    const std::vector<OptionRule>& setup = pluginSetupOptionRules();
    all.insert(all.end(), setup.begin(), setup.end());
    return all;
  }();
  return rules;
}

std::string fileStem(const std::string& path) {
  const auto separator = path.find_last_of("/\\");
  std::string name = separator == std::string::npos ? path : path.substr(separator + 1);
  const auto dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.erase(dot);
  return name;
}

}  // namespace

std::vector<int> RenderOptions::resolvedBlockSizes() const {
  return blockSizes.empty() ? std::vector<int>{blockSize} : blockSizes;
}

std::string RenderOptions::blockText() const {
  std::string text;
  for (int size : resolvedBlockSizes()) text += (text.empty() ? "" : ",") + std::to_string(size);
  return text;
}

void parseBlockSizes(const std::string& text, RenderOptions& options) {
  std::vector<int> sizes = parseIntegerList(text, "--block", 1, 65536);
  options.blockSize = *std::max_element(sizes.begin(), sizes.end());
  options.blockSizes.clear();
  if (sizes.size() > 1) options.blockSizes = std::move(sizes);
}

std::string RenderOptions::resolvedOutputPath() const {
  if (!outputPath.empty()) return outputPath;
  if (!midiPath.empty()) return fileStem(midiPath) + ".wav";
  if (demo) return "demo.wav";
  return inputPath.empty() ? "render.wav" : fileStem(inputPath) + "-render.wav";
}

SampleFormat RenderOptions::resolvedFormat() const {
  if (format) return *format;
  return containerForPath(resolvedOutputPath()) == AudioContainer::Flac ? SampleFormat::Pcm24 : SampleFormat::Float32;
}

RenderOptions parseRenderOptions(const std::vector<std::string>& arguments) {
  const ParsedCommandLine parsed = parseCommandLine(arguments, renderOptionRules());
  RenderOptions options;
  options.progress = true;
  for (const auto& [name, value] : parsed.options) {
    if (takePluginSetupOption(name, value, options.setup)) continue;
    if (name == "--plugin") {
      options.pluginPath = value;
    } else if (name == "--demo") {
      options.demo = true;
    } else if (name == "--rate") {
      options.sampleRate = parseNumberInRange(value, name, 1000.0, 768000.0);
    } else if (name == "--block") {
      parseBlockSizes(value, options);
    } else if (name == "--channels") {
      options.channels = parseInteger(value, name, 1, 64);
    } else if (name == "--set-at") {
      options.automation.push_back(parseTimedAssignment(value, name));
    } else if (name == "--tail") {
      options.tailSeconds = parseNumberInRange(value, name, 0.0, 3600.0);
    } else if (name == "--tempo") {
      options.tempoBpm = parseNumberInRange(value, name, 1.0, 1000.0);
    } else if (name == "--input") {
      options.inputPath = value;
    } else if (name == "--output") {
      if (value.empty()) throw UsageError("option '--output' needs a file name");
      options.outputPath = value;
    } else if (name == "--format") {
      options.format = parseSampleFormat(value);
    } else if (name == "--length") {
      options.lengthSeconds = parseNumberInRange(value, name, 0.001, 86400.0);
    } else if (name == "--max-length") {
      options.maxLengthSeconds = parseNumberInRange(value, name, 1.0, 31.0 * 86400.0);
    } else if (name == "--no-progress") {
      options.progress = false;
    }
  }
  if (parsed.positionals.size() > 1) {
    throw UsageError("more than one MIDI file given ('" + parsed.positionals[0] + "', '" + parsed.positionals[1] +
                     "')");
  }
  if (!parsed.positionals.empty()) options.midiPath = parsed.positionals[0];
  if (options.demo && !options.midiPath.empty()) throw UsageError("give either a MIDI file or --demo, not both");
  if (!options.demo && options.midiPath.empty() && options.inputPath.empty()) {
    throw UsageError("nothing to play: give a MIDI file, --demo or --input FILE");
  }
  if (containerForPath(options.resolvedOutputPath()) == AudioContainer::Flac) {
    if (!flacSupported()) throw UsageError("FLAC output is not available in this build; write a .wav file");
    if (options.format == SampleFormat::Float32)
      throw UsageError("FLAC holds integer samples: use --format pcm16 or pcm24");
  }
  return options;
}

}  // namespace brume
