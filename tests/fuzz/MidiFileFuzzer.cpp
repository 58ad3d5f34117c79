// Feeds any bytes to brume7-host's Standard MIDI File reader and schedules what
// it accepts as `render` does: tempo map, frames at two sample rates, the
// events per block and the song's length. A malformed file must end in a
// ToolError, never in a crash, an overflow or an unbounded allocation.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "tools/brume7-host/midi/EventSchedule.h"
#include "tools/brume7-host/midi/MidiSong.h"
#include "tools/brume7-host/midi/TempoMap.h"
#include "tools/brume7-host/ToolError.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  using namespace brume;
  MidiSong song;
  try {
    song = parseMidiFile(bytes, size);
  } catch (const ToolError&) {
    return 0;
  }
  const TempoMap tempo(song);
  if (!(tempo.initialBpm() > 0.0)) std::abort();
  for (double sampleRate : {44100.0, 768000.0}) {
    const EventSchedule schedule = scheduleSong(song, tempo, sampleRate);
    const auto& events = schedule.events();
    for (std::size_t i = 1; i < events.size(); ++i) {
      if (events[i].frame < events[i - 1].frame) std::abort();  // the schedule is in time order
    }
    (void)schedule.maxMidiEventsPerBlock(512);
    (void)schedule.maxMidiEventsPerBlock(1);
    if (schedule.lastMidiFrame() > schedule.lastFrame()) std::abort();
  }
  if (tempo.secondsAt(song.endTick) < 0.0) std::abort();
  return 0;
}
