#include "tools/brume7-host/render/Bench.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "tools/brume7-host/commands/CommandLine.h"
#include "tools/brume7-host/plugins/OpenPlugin.h"
#include "tools/brume7-host/render/RenderSession.h"
#include "tools/brume7-host/ToolError.h"

namespace brume {
namespace {

const std::vector<OptionRule>& benchOptionRules() {
  static const std::vector<OptionRule> rules = [] {
    std::vector<OptionRule> all = {
        {"--runs", "", true}, {"--seconds", "", true}, {"--midi", "", true},  {"--demo", "", false},
        {"--rate", "", true}, {"--block", "", true},   {"--tempo", "", true}, {"--tail", "", true},
    };
    const std::vector<OptionRule>& setup = pluginSetupOptionRules();
    all.insert(all.end(), setup.begin(), setup.end());
    return all;
  }();
  return rules;
}

std::vector<double> sorted(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values;
}

}  // namespace

double BenchResult::median() const {
  if (timesRealtime.empty()) return 0.0;
  const std::vector<double> values = sorted(timesRealtime);
  const std::size_t middle = values.size() / 2;
  return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2.0;
}

double BenchResult::fastest() const {
  return timesRealtime.empty() ? 0.0 : *std::max_element(timesRealtime.begin(), timesRealtime.end());
}

double BenchResult::slowest() const {
  return timesRealtime.empty() ? 0.0 : *std::min_element(timesRealtime.begin(), timesRealtime.end());
}

BenchOptions parseBenchOptions(const std::vector<std::string>& arguments) {
  const ParsedCommandLine parsed = parseCommandLine(arguments, benchOptionRules());
  BenchOptions options;
  options.render.channels = 1;
  options.render.demo = true;
  for (const auto& [name, value] : parsed.options) {
    if (takePluginSetupOption(name, value, options.render.setup)) continue;
    if (name == "--runs") {
      options.runs = parseInteger(value, name, 1, 1000);
    } else if (name == "--seconds") {
      options.render.lengthSeconds = parseNumberInRange(value, name, 0.01, 3600.0);
    } else if (name == "--midi") {
      options.render.midiPath = value;
      options.render.demo = false;
    } else if (name == "--demo") {
      options.render.demo = true;
    } else if (name == "--rate") {
      options.render.sampleRate = parseNumberInRange(value, name, 1000.0, 768000.0);
    } else if (name == "--block") {
      parseBlockSizes(value, options.render);
    } else if (name == "--tempo") {
      options.render.tempoBpm = parseNumberInRange(value, name, 1.0, 1000.0);
    } else if (name == "--tail") {
      options.render.tailSeconds = parseNumberInRange(value, name, 0.0, 3600.0);
    }
  }
  if (parsed.has("--midi") && parsed.has("--demo")) throw UsageError("give either --midi FILE or --demo, not both");
  options.plugins = parsed.positionals;
  if (options.plugins.empty()) throw UsageError("no plug-in given");
  return options;
}

std::vector<BenchResult> runBench(const BenchOptions& options,
                                  const std::function<void(int run, const BenchResult& result)>& onRun) {
  std::vector<BenchResult> results;
  const SetupPresets presets = readSetupPresets(options.render.setup);
  for (const std::string& path : options.plugins) {
    // Every plug-in is opened and set up once first, so that a bad one, or a setup it refuses, fails before any run.
    BenchResult result;
    result.pluginPath = path;
    HostSettings settings;
    settings.sampleRate = options.render.sampleRate;
    settings.blockSize = options.render.blockSize;
    std::unique_ptr<Plugin> plugin = openPlugin(path, settings);
    result.effectName = plugin->name();
    plugin->configure(settings.sampleRate, settings.blockSize);
    applyPluginSetup(*plugin, options.render.setup, presets);
    results.push_back(result);
  }
  // Alternating run by run spreads any slow-down of the machine over all plug-ins alike.
  for (int run = 0; run < options.runs; ++run) {
    for (std::size_t i = 0; i < results.size(); ++i) {
      RenderOptions render = options.render;
      render.pluginPath = options.plugins[i];
      RenderSession session(render);
      // Nothing is kept: the loop times the plug-in, not a copy of its output.
      const double seconds = session.run(RenderSession::Sink());
      const double length = static_cast<double>(session.totalFrames()) / session.sampleRate();
      results[i].lengthSeconds = length;
      results[i].timesRealtime.push_back(seconds > 0.0 ? length / seconds : 0.0);
      if (onRun) onRun(run, results[i]);
    }
  }
  return results;
}

std::string formatBenchTable(const BenchOptions& options, const std::vector<BenchResult>& results) {
  std::string table;
  char line[1024];
  const double length = results.empty() ? 0.0 : results.front().lengthSeconds;
  std::snprintf(line, sizeof line, "%s, %.2f s at %.0f Hz, block %s, %d run%s per plug-in (alternating)\n",
                options.render.demo ? "demo" : options.render.midiPath.c_str(), length, options.render.sampleRate,
                options.render.blockText().c_str(), options.runs, options.runs == 1 ? "" : "s");
  table += line;
  std::size_t pathWidth = 7;
  std::size_t nameWidth = 4;
  for (const BenchResult& result : results) {
    pathWidth = std::max(pathWidth, result.pluginPath.size());
    nameWidth = std::max(nameWidth, result.effectName.size());
  }
  std::snprintf(line, sizeof line, "%-*s  %-*s  %10s  %10s  %10s  %8s\n", static_cast<int>(pathWidth), "plug-in",
                static_cast<int>(nameWidth), "name", "median", "slowest", "fastest", "vs first");
  table += line;
  const double first = results.empty() ? 0.0 : results.front().median();
  for (const BenchResult& result : results) {
    std::snprintf(line, sizeof line, "%-*s  %-*s  %9.1fx  %9.1fx  %9.1fx  %8.2f\n", static_cast<int>(pathWidth),
                  result.pluginPath.c_str(), static_cast<int>(nameWidth), result.effectName.c_str(), result.median(),
                  result.slowest(), result.fastest(), first > 0.0 ? result.median() / first : 0.0);
    table += line;
  }
  table += "(speeds in times realtime; 'vs first' is the median over the first plug-in's median)\n";
  return table;
}

}  // namespace brume
