#pragma once
// The host's render loop: for each block, the block's MIDI events as one list
// at their frames in the block, then the process call. Block sizes may cycle
// through a list. A parameter change that falls inside a block splits the
// block there, so that automation is sample-accurate too.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "tools/brume7-host/midi/EventSchedule.h"
#include "tools/brume7-host/plugins/Plugin.h"

namespace brume {

// Interleaved audio held in memory.
struct AudioData {
  int channels = 0;
  int sampleRate = 0;
  std::vector<float> samples;  // frame after frame, `channels` values each

  std::int64_t frameCount() const { return channels > 0 ? static_cast<std::int64_t>(samples.size()) / channels : 0; }
};

class BlockRenderer {
 public:
  // Receives each rendered piece: the plug-in's output buffers (all its
  // outputs) holding `frames` frames that start at frame `start` of the
  // render; an empty sink takes nothing.
  using Sink = std::function<void(float* const* outputs, int frames, std::int64_t start)>;

  // Prepares buffers and the plug-in's event room for `schedule` (which must
  // outlive the renderer); blocks take the sizes of `blockSizes` in turn.
  // The plug-in must be configured for the largest and started before the
  // first block. `input`, if given, feeds the plug-in's inputs: input channel
  // c gets file channel c modulo the file's channels; zeros after its end. Main thread.
  BlockRenderer(Plugin& plugin, const EventSchedule& schedule, const std::vector<int>& blockSizes,
                const AudioData* input = nullptr);

  // Renders the next host block (one or more process calls) and hands it to
  // `sink`; answers the frames rendered, 0 once `totalFrames` are done.
  // Audio thread; no allocation.
  int renderBlock(std::int64_t totalFrames, const Sink& sink);
  std::int64_t position() const { return renderedFrames; }
  // Process calls made so far (more than the blocks when automation splits them).
  std::int64_t processCalls() const { return processCallCount; }

 private:
  void fillInputs(std::int64_t start, int frames);

  Plugin& instance;
  const std::vector<ScheduledEvent>& events;
  std::size_t nextEvent = 0;
  std::vector<int> sizes;
  std::size_t nextSize = 0;
  const AudioData* inputAudio;
  std::int64_t renderedFrames = 0;
  std::int64_t processCallCount = 0;

  std::vector<std::vector<float>> inputBuffers;
  std::vector<std::vector<float>> outputBuffers;
  std::vector<const float*> inputPointers;
  std::vector<float*> outputPointers;
  std::vector<MidiEvent> midiEvents;
};

}  // namespace brume
