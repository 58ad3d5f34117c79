#pragma once
// What `brume7-host play` is asked to do, parsed from its command line.

#include <optional>
#include <string>
#include <vector>

#include "tools/brume7-host/audio/AudioFile.h"
#include "tools/brume7-host/presets/PluginSetup.h"

namespace brume {

struct PlayOptions {
  std::string pluginPath;               // empty: the default plug-in
  PluginSetup setup;                    // bank, program, preset and settings, before playing
  std::vector<std::string> midiPorts;   // empty: every physical MIDI capture port
  std::vector<std::string> audioPorts;  // output k goes to the k-th; empty: the first physical playback ports
  bool noConnect = false;               // no default connections
  bool editor = false;
  std::string recordPath;              // empty: no recording
  std::optional<SampleFormat> format;  // of the recording; unset: float, or pcm24 for FLAC
  std::optional<double> seconds;       // unset: until Ctrl-C or SIGTERM
  int maxEventsPerCycle = 1024;

  SampleFormat resolvedFormat() const;
};

// Parses the arguments after "play". Throws UsageError. Any thread.
PlayOptions parsePlayOptions(const std::vector<std::string>& arguments);

}  // namespace brume
