#pragma once
// The contents of a Standard MIDI File that a render needs: the channel
// messages of all tracks merged in time order, and the tempo map.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace brume {

// One channel message (note, controller, program, pressure, pitch bend).
struct MidiMessage {
  std::uint64_t tick = 0;
  std::uint8_t data[3] = {0, 0, 0};
  std::uint8_t size = 0;  // 2 or 3 bytes
  std::uint16_t track = 0;
};

struct TempoChange {
  std::uint64_t tick = 0;
  std::uint32_t microsecondsPerQuarter = 500000;
};

struct MidiSong {
  static constexpr std::uint32_t kDefaultMicrosecondsPerQuarter = 500000;  // 120 BPM

  int format = 0;
  int trackCount = 0;
  // The header's time division: ticks per quarter note, or (high bit set) SMPTE frames and ticks per frame.
  std::uint16_t division = 480;
  // By tick; messages at the same tick keep their track order, then their order in the track.
  std::vector<MidiMessage> messages;
  // By tick; from any track (format 1 files keep them in the first).
  std::vector<TempoChange> tempoChanges;
  // The latest end-of-track (or last event) tick of all tracks.
  std::uint64_t endTick = 0;
  // Events read but not passed on: system exclusive, meta events other than tempo, system messages.
  int skippedEvents = 0;
};

// Parses a Standard MIDI File of format 0 or 1 held in memory: running status,
// unknown chunks and events are handled; a truncated or malformed file throws
// ToolError naming the problem. Any thread.
MidiSong parseMidiFile(const std::uint8_t* bytes, std::size_t size);

// Reads and parses a file; errors name the file. Main thread.
MidiSong readMidiFile(const std::string& path);

}  // namespace brume
