#pragma once
// One render from start to end: the song (a MIDI file or the demo) and any
// input audio, a plug-in instance set up as a host sets one up, and the loop
// that feeds it block by block.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tools/brume7-host/midi/EventSchedule.h"
#include "tools/brume7-host/plugins/Plugin.h"
#include "tools/brume7-host/render/BlockRenderer.h"
#include "tools/brume7-host/render/RenderOptions.h"

namespace brume {

class RenderSession {
 public:
  // Reads the song, input and preset files, opens the plug-in, configures it
  // at the rate and largest block, sets it up (bank, program, preset,
  // settings), schedules the automation and starts it. Throws ToolError. Main thread.
  explicit RenderSession(const RenderOptions& options);
  // Suspends and closes the instance.
  ~RenderSession();

  RenderSession(const RenderSession&) = delete;
  RenderSession& operator=(const RenderSession&) = delete;

  // Receives the output as interleaved frames of `channels()` samples; an
  // empty sink takes nothing, and the output is then not even interleaved.
  using Sink = std::function<void(const float* interleaved, std::size_t frames)>;
  // Told the frames done so far after each block.
  using Progress = std::function<void(std::int64_t done, std::int64_t total)>;

  // Renders the whole length; answers the wall-clock seconds the loop took. Main thread, once.
  double run(const Sink& sink, const Progress& progress = Progress());

  std::int64_t totalFrames() const { return frameTotal; }
  int channels() const { return outputChannels; }
  double sampleRate() const { return settings.sampleRate; }
  Plugin& plugin() { return *instance; }
  double tempoBpm() const { return settings.tempoBpm; }
  const EventSchedule& schedule() const { return events; }
  // Demo automation that found no parameter of its name, for the user's information.
  const std::vector<std::string>& skippedAutomation() const { return skippedNames; }
  std::int64_t processCalls() const { return processCallCount; }

 private:
  HostSettings settings;
  std::unique_ptr<Plugin> instance;
  EventSchedule events;
  AudioData inputAudio;
  std::int64_t frameTotal = 0;
  int outputChannels = 2;
  std::vector<int> blockSizes;
  std::vector<std::string> skippedNames;
  std::int64_t processCallCount = 0;
};

}  // namespace brume
