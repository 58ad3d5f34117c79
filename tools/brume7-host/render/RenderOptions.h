#pragma once
// Everything a render needs to know, and its parsing from the command line of
// `render` (and, for the shared options, of `bench`).

#include <optional>
#include <string>
#include <vector>

#include "tools/brume7-host/audio/AudioFile.h"
#include "tools/brume7-host/commands/ParameterAssignment.h"
#include "tools/brume7-host/presets/PluginSetup.h"

namespace brume {

struct RenderOptions {
  std::string pluginPath;  // empty: the default plug-in beside the executable
  std::string midiPath;    // a Standard MIDI File, or empty with `demo` (or with only an input file)
  bool demo = false;
  double sampleRate = 44100.0;
  int blockSize = 512;          // the largest block
  std::vector<int> blockSizes;  // --block with a list: cycled block after block; empty: every block is blockSize
  int channels = 2;
  PluginSetup setup;                        // bank, program, preset and settings, applied before rendering
  std::vector<TimedAssignment> automation;  // applied during the render
  double tailSeconds = 2.0;
  std::optional<double> tempoBpm;       // unset: the MIDI file's first tempo, 120 for the demo
  std::string inputPath;                // audio fed to the plug-in's inputs
  std::string outputPath;               // unset: derived from the MIDI file name, "demo.wav" for the demo
  std::optional<SampleFormat> format;   // unset: float, or pcm24 for FLAC
  std::optional<double> lengthSeconds;  // fixed render length instead of song + tail
  double maxLengthSeconds = 3600.0;     // longer renders are refused before they start
  bool progress = false;

  // The block sizes cycled over the render, and as the command line gives them ("64,17,300").
  std::vector<int> resolvedBlockSizes() const;
  std::string blockText() const;
  // The output name and format after defaults.
  std::string resolvedOutputPath() const;
  SampleFormat resolvedFormat() const;
};

// "N" or "N,M,...": the largest goes to blockSize, a list to blockSizes. Throws UsageError.
void parseBlockSizes(const std::string& text, RenderOptions& options);

// Parses the arguments that follow "render". Throws UsageError. Any thread.
RenderOptions parseRenderOptions(const std::vector<std::string>& arguments);

}  // namespace brume
