#include "tools/brume7-host/midi/EventSchedule.h"

#include <algorithm>
#include <array>

namespace brume {

void EventSchedule::addMidi(std::int64_t frame, const std::uint8_t* bytes, std::size_t size) {
  ScheduledEvent event;
  event.frame = frame;
  event.kind = ScheduledEvent::Kind::Midi;
  event.midiSize = static_cast<std::uint8_t>(std::min<std::size_t>(size, 3));
  std::copy(bytes, bytes + event.midiSize, event.midi);
  if (!list.empty() && frame < list.back().frame) sorted = false;
  list.push_back(event);
}

void EventSchedule::addParameter(std::int64_t frame, int parameterIndex, float value) {
  ScheduledEvent event;
  event.frame = frame;
  event.kind = ScheduledEvent::Kind::Parameter;
  event.parameterIndex = parameterIndex;
  event.value = value;
  if (!list.empty() && frame < list.back().frame) sorted = false;
  list.push_back(event);
}

void EventSchedule::sort() const {
  if (sorted) return;
  std::stable_sort(list.begin(), list.end(),
                   [](const ScheduledEvent& a, const ScheduledEvent& b) { return a.frame < b.frame; });
  sorted = true;
}

const std::vector<ScheduledEvent>& EventSchedule::events() const {
  sort();
  return list;
}

std::int64_t EventSchedule::lastMidiFrame() const {
  sort();
  for (auto it = list.rbegin(); it != list.rend(); ++it) {
    if (it->kind == ScheduledEvent::Kind::Midi) return it->frame;
  }
  return -1;
}

std::int64_t EventSchedule::lastFrame() const {
  sort();
  return list.empty() ? -1 : list.back().frame;
}

std::size_t EventSchedule::maxMidiEventsPerBlock(int blockSize) const {
  if (blockSize <= 0) return 0;
  return maxMidiEventsPerBlock(std::vector<int>{blockSize});
}

std::size_t EventSchedule::maxMidiEventsPerBlock(const std::vector<int>& blockSizes) const {
  sort();
  for (int size : blockSizes) {
    if (size <= 0) return 0;
  }
  if (blockSizes.empty()) return 0;
  std::int64_t cycle = 0;
  for (int size : blockSizes) cycle += size;
  std::size_t most = 0;
  std::size_t count = 0;
  std::int64_t blockEnd = 0;
  std::size_t nextSize = 0;
  for (const ScheduledEvent& event : list) {
    if (event.kind != ScheduledEvent::Kind::Midi) continue;
    if (event.frame >= blockEnd) {
      count = 0;
      // Whole cycles of the list keep its position: skip them at once.
      blockEnd += (event.frame - blockEnd) / cycle * cycle;
      while (event.frame >= blockEnd) {
        blockEnd += blockSizes[nextSize];
        nextSize = (nextSize + 1) % blockSizes.size();
      }
    }
    most = std::max(most, ++count);
  }
  return most;
}

EventSchedule scheduleSong(const MidiSong& song, const TempoMap& tempo, double sampleRate) {
  EventSchedule schedule;
  // Per channel and key: how many note-ons are not yet matched by a note-off.
  std::array<std::array<int, 128>, 16> held{};
  std::uint64_t lastTick = song.endTick;
  for (const MidiMessage& message : song.messages) {
    schedule.addMidi(tempo.frameAt(message.tick, sampleRate), message.data, message.size);
    lastTick = std::max(lastTick, message.tick);
    const int status = message.data[0] & 0xF0;
    const int channel = message.data[0] & 0x0F;
    const int key = message.data[1] & 0x7F;
    if (status == 0x90 && message.data[2] > 0) {
      ++held[channel][key];
    } else if ((status == 0x80 || status == 0x90) && held[channel][key] > 0) {
      --held[channel][key];
    }
  }
  const std::int64_t endFrame = tempo.frameAt(lastTick, sampleRate);
  for (int channel = 0; channel < 16; ++channel) {
    for (int key = 0; key < 128; ++key) {
      for (int count = 0; count < held[channel][key]; ++count) {
        const std::uint8_t noteOff[3] = {static_cast<std::uint8_t>(0x80 | channel), static_cast<std::uint8_t>(key), 0};
        schedule.addMidi(endFrame, noteOff, 3);
      }
    }
  }
  return schedule;
}

}  // namespace brume
