#pragma once
// `bench`: the same song rendered through several plug-ins, run by run in
// alternation, each plug-in's speed taken as the median of its runs.

#include <functional>
#include <string>
#include <vector>

#include "tools/brume7-host/render/RenderOptions.h"

namespace brume {

struct BenchOptions {
  std::vector<std::string> plugins;
  int runs = 5;
  // The song and render settings shared by all plug-ins (plugin path and output unused).
  RenderOptions render;
};

struct BenchResult {
  std::string pluginPath;
  std::string effectName;
  std::vector<double> timesRealtime;  // one per run, in run order
  double lengthSeconds = 0.0;

  double median() const;
  double fastest() const;
  double slowest() const;
};

// Parses the arguments that follow "bench". Throws UsageError.
BenchOptions parseBenchOptions(const std::vector<std::string>& arguments);

// Runs the benchmark; `onRun` (optional) hears of each finished run. Throws ToolError. Main thread.
std::vector<BenchResult> runBench(const BenchOptions& options,
                                  const std::function<void(int run, const BenchResult& result)>& onRun = {});

// The result table, with each plug-in's median over the first one's.
std::string formatBenchTable(const BenchOptions& options, const std::vector<BenchResult>& results);

}  // namespace brume
