#pragma once
// Everything that happens during a render, placed at sample frames: MIDI
// messages for the plug-in and parameter changes (automation).

#include <cstddef>
#include <cstdint>
#include <vector>

#include "tools/brume7-host/midi/MidiSong.h"
#include "tools/brume7-host/midi/TempoMap.h"

namespace brume {

struct ScheduledEvent {
  enum class Kind { Midi, Parameter };

  std::int64_t frame = 0;
  Kind kind = Kind::Midi;
  std::uint8_t midi[3] = {0, 0, 0};
  std::uint8_t midiSize = 0;
  int parameterIndex = -1;
  float value = 0.0f;
};

class EventSchedule {
 public:
  // Main thread, before rendering.
  void addMidi(std::int64_t frame, const std::uint8_t* bytes, std::size_t size);
  void addParameter(std::int64_t frame, int parameterIndex, float value);

  // By frame; events of one frame keep the order they were added in.
  const std::vector<ScheduledEvent>& events() const;
  // The frame of the last MIDI event, or -1 without any.
  std::int64_t lastMidiFrame() const;
  // The frame of the last event of any kind, or -1.
  std::int64_t lastFrame() const;
  // The most MIDI events that fall into one block of the given size (blocks start at multiples of it).
  std::size_t maxMidiEventsPerBlock(int blockSize) const;
  // The same for blocks that take the sizes of `blockSizes` in turn from frame 0.
  std::size_t maxMidiEventsPerBlock(const std::vector<int>& blockSizes) const;

 private:
  void sort() const;

  mutable std::vector<ScheduledEvent> list;
  mutable bool sorted = true;
};

// Places a song's channel messages at frames. Notes still sounding at the song's
// end tick get a note-off there, so that the tail can let them ring out.
EventSchedule scheduleSong(const MidiSong& song, const TempoMap& tempo, double sampleRate);

}  // namespace brume
