#pragma once
// Turns MIDI ticks into seconds and sample frames, following tempo changes.

#include <cstdint>
#include <vector>

#include "tools/brume7-host/midi/MidiSong.h"

namespace brume {

class TempoMap {
 public:
  // `division` as in the file header: ticks per quarter note, or with the high
  // bit set, SMPTE frames per second (negated) and ticks per frame, where tempo
  // changes do not apply. A division of 0 is taken as 480. Any thread.
  TempoMap(std::uint16_t division, std::vector<TempoChange> changes);
  explicit TempoMap(const MidiSong& song);

  // Time of a tick from the start of the song.
  double secondsAt(std::uint64_t tick) const;
  // The frame at which an event of that tick sounds: the nearest whole frame.
  std::int64_t frameAt(std::uint64_t tick, double sampleRate) const;
  // The tempo in force at the start, in beats per minute (120 without a tempo event at tick 0).
  double initialBpm() const;

 private:
  // From `tick` on, each tick lasts `secondsPerTick`; `seconds` is the time at `tick`.
  struct Segment {
    std::uint64_t tick;
    double seconds;
    double secondsPerTick;
    std::uint32_t microsecondsPerQuarter;
  };
  std::vector<Segment> segments;
};

}  // namespace brume
