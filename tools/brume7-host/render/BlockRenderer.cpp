#include "tools/brume7-host/render/BlockRenderer.h"

#include <algorithm>
#include <cstring>

namespace brume {

BlockRenderer::BlockRenderer(Plugin& plugin, const EventSchedule& schedule, const std::vector<int>& blockSizes,
                             const AudioData* input)
    : instance(plugin), events(schedule.events()), sizes(blockSizes), inputAudio(input) {
  if (sizes.empty()) sizes.push_back(512);
  for (int& size : sizes) size = std::max(1, size);
  const auto frames = static_cast<std::size_t>(*std::max_element(sizes.begin(), sizes.end()));
  // At least one buffer each, so that a plug-in that reads a channel it did not announce reads zeros.
  inputBuffers.assign(static_cast<std::size_t>(std::max(1, plugin.inputCount())), std::vector<float>(frames, 0.0f));
  outputBuffers.assign(static_cast<std::size_t>(std::max(1, plugin.outputCount())), std::vector<float>(frames, 0.0f));
  for (auto& buffer : inputBuffers) inputPointers.push_back(buffer.data());
  for (auto& buffer : outputBuffers) outputPointers.push_back(buffer.data());

  const std::size_t capacity = std::max<std::size_t>(1, schedule.maxMidiEventsPerBlock(sizes));
  midiEvents.assign(capacity, MidiEvent{});
  plugin.reserveEvents(capacity);
}

void BlockRenderer::fillInputs(std::int64_t start, int frames) {
  const std::int64_t available = inputAudio != nullptr ? inputAudio->frameCount() : 0;
  for (std::size_t channel = 0; channel < inputBuffers.size(); ++channel) {
    float* buffer = inputBuffers[channel].data();
    if (available == 0) {
      std::memset(buffer, 0, sizeof(float) * static_cast<std::size_t>(frames));
      continue;
    }
    const auto sourceChannel = static_cast<std::int64_t>(channel % static_cast<std::size_t>(inputAudio->channels));
    for (int i = 0; i < frames; ++i) {
      const std::int64_t frame = start + i;
      buffer[i] = frame < available
                      ? inputAudio->samples[static_cast<std::size_t>(frame * inputAudio->channels + sourceChannel)]
                      : 0.0f;
    }
  }
}

int BlockRenderer::renderBlock(std::int64_t totalFrames, const Sink& sink) {
  if (renderedFrames >= totalFrames) return 0;
  const std::int64_t blockStart = renderedFrames;
  const std::int64_t blockEnd = std::min<std::int64_t>(totalFrames, blockStart + sizes[nextSize]);
  nextSize = (nextSize + 1) % sizes.size();

  std::int64_t position = blockStart;
  while (position < blockEnd) {
    // Parameter changes due now are made before this piece's events and audio.
    while (nextEvent < events.size() && events[nextEvent].frame <= position) {
      const ScheduledEvent& event = events[nextEvent];
      if (event.kind == ScheduledEvent::Kind::Parameter) {
        instance.setParameter(event.parameterIndex, event.value);
        ++nextEvent;
        continue;
      }
      break;
    }
    // The piece ends at the block's end or at the next parameter change after its start.
    std::int64_t pieceEnd = blockEnd;
    for (std::size_t i = nextEvent; i < events.size() && events[i].frame < blockEnd; ++i) {
      if (events[i].kind == ScheduledEvent::Kind::Parameter && events[i].frame > position) {
        pieceEnd = events[i].frame;
        break;
      }
    }
    std::size_t midiCount = 0;
    std::size_t index = nextEvent;
    for (; index < events.size() && events[index].frame < pieceEnd; ++index) {
      const ScheduledEvent& event = events[index];
      if (event.kind == ScheduledEvent::Kind::Parameter) {
        // A change at this piece's first frame that follows a MIDI event of that frame: made now, before the audio.
        instance.setParameter(event.parameterIndex, event.value);
        continue;
      }
      if (midiCount == midiEvents.size()) continue;  // cannot happen: the capacity covers any block
      MidiEvent& midi = midiEvents[midiCount];
      midi = MidiEvent{};
      midi.frame = static_cast<std::uint32_t>(std::max<std::int64_t>(0, event.frame - position));
      midi.size = event.midiSize;
      std::memcpy(midi.bytes, event.midi, event.midiSize);
      ++midiCount;
    }
    nextEvent = index;

    const int frames = static_cast<int>(pieceEnd - position);
    if (midiCount > 0) instance.sendEvents(midiEvents.data(), midiCount);
    fillInputs(position, frames);
    instance.process(inputPointers.data(), outputPointers.data(), frames);
    ++processCallCount;
    if (sink) sink(outputPointers.data(), frames, position);
    position = pieceEnd;
  }
  renderedFrames = blockEnd;
  return static_cast<int>(blockEnd - blockStart);
}

}  // namespace brume
