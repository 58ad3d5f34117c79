#include <cstdio>

#include "tools/brume7-host/render/Bench.h"
#include "tools/brume7-host/commands/Command.h"
#include "tools/brume7-host/render/ProgressBar.h"

namespace brume {
namespace {

const char kBenchHelp[] =
    "Usage: brume7-host bench [OPTIONS] PLUGIN...\n"
    "\n"
    "Renders the same MIDI (the demo phrase unless --midi is given) through each\n"
    "PLUGIN (VST 2 module files and LV2 plug-ins by URI or bundle folder, mixed\n"
    "as you like), alternating the plug-ins run by run, each run with a fresh\n"
    "instance.\n"
    "Every plug-in is loaded and set up once before the first run, so that one\n"
    "that fails, or refuses a preset file, stops the benchmark before it starts.\n"
    "Only the render loop is timed (events and process calls); nothing is\n"
    "written. Prints each plug-in's render speed in times realtime (median,\n"
    "slowest and fastest of its runs) and its median over the first plug-in's.\n"
    "\n"
    "Options:\n"
    "  --runs N           runs per plug-in (default 5)\n"
    "  --seconds S        render S seconds (default: the song plus the tail)\n"
    "  --midi FILE        a Standard MIDI File instead of the demo\n"
    "  --demo             the built-in demo phrase (the default)\n"
    "  --rate HZ          sample rate (default 44100)\n"
    "  --block FRAMES     block size (default 512), or a list such as 64,17,300\n"
    "  --tempo BPM        tempo reported to the plug-ins, and the demo's tempo\n"
    "  --tail SECONDS     time rendered after the last event (default 2)\n"
    "  --bank FILE.fxb    load a VST 2 bank into every plug-in (each program\n"
    "                     selected, named and given its values, or the bank's\n"
    "                     chunk), then select the bank's current program (format\n"
    "                     version 2), else program 0\n"
    "  --program N        select program N in every plug-in (after --bank)\n"
    "  --preset FILE.fxp  load a VST 2 program into every plug-in's current program\n"
    "  --set NAME=VALUE   set a parameter in every plug-in; repeatable, applied last\n"
    "  --force            load preset files made for another plug-in's unique ID,\n"
    "                     and go on when a plug-in answers 0 to a chunk\n"
    "  -h, --help         show this help\n";

int runBenchCommand(const std::vector<std::string>& arguments) {
  const BenchOptions options = parseBenchOptions(arguments);
  // On a terminal, a line that follows the runs; benchmarks can take a while.
  const bool terminal = ProgressBar::stderrIsTerminal();
  const std::vector<BenchResult> results = runBench(options, [&](int run, const BenchResult& result) {
    if (!terminal) return;
    std::fprintf(stderr, "\rrun %d of %d: %-60.60s", run + 1, options.runs, result.pluginPath.c_str());
    std::fflush(stderr);
  });
  if (terminal) std::fprintf(stderr, "\r%*s\r", 80, "");
  std::fputs(formatBenchTable(options, results).c_str(), stdout);
  return 0;
}

}  // namespace

const Command kBenchCommand = {"bench", "compare the render speed of several plug-ins on the same MIDI", kBenchHelp,
                               runBenchCommand};

}  // namespace brume
