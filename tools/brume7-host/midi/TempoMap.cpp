#include "tools/brume7-host/midi/TempoMap.h"

#include <algorithm>
#include <cmath>

namespace brume {

TempoMap::TempoMap(std::uint16_t division, std::vector<TempoChange> changes) {
  if (division == 0) division = 480;
  if ((division & 0x8000u) != 0) {
    // SMPTE time: the high byte is minus the frame rate (-29 stands for 29.97 drop-frame).
    const int framesPerSecond = -static_cast<int>(static_cast<std::int8_t>(division >> 8));
    const int ticksPerFrame = std::max(1, division & 0xFF);
    const double rate = framesPerSecond == 29 ? 29.97 : std::max(1, framesPerSecond);
    segments.push_back({0, 0.0, 1.0 / (rate * ticksPerFrame), MidiSong::kDefaultMicrosecondsPerQuarter});
    return;
  }
  const double ticksPerQuarter = division;
  auto secondsPerTick = [&](std::uint32_t microseconds) { return microseconds * 1e-6 / ticksPerQuarter; };
  std::stable_sort(changes.begin(), changes.end(),
                   [](const TempoChange& a, const TempoChange& b) { return a.tick < b.tick; });
  segments.push_back(
      {0, 0.0, secondsPerTick(MidiSong::kDefaultMicrosecondsPerQuarter), MidiSong::kDefaultMicrosecondsPerQuarter});
  for (const TempoChange& change : changes) {
    if (change.microsecondsPerQuarter == 0) continue;
    Segment& last = segments.back();
    if (change.tick == last.tick) {
      // Several changes at one tick: the last one wins.
      last.secondsPerTick = secondsPerTick(change.microsecondsPerQuarter);
      last.microsecondsPerQuarter = change.microsecondsPerQuarter;
      continue;
    }
    const double seconds = last.seconds + static_cast<double>(change.tick - last.tick) * last.secondsPerTick;
    segments.push_back(
        {change.tick, seconds, secondsPerTick(change.microsecondsPerQuarter), change.microsecondsPerQuarter});
  }
}

TempoMap::TempoMap(const MidiSong& song) : TempoMap(song.division, song.tempoChanges) {}

double TempoMap::secondsAt(std::uint64_t tick) const {
  auto after = std::upper_bound(segments.begin(), segments.end(), tick,
                                [](std::uint64_t value, const Segment& segment) { return value < segment.tick; });
  const Segment& segment = *(after - 1);
  return segment.seconds + static_cast<double>(tick - segment.tick) * segment.secondsPerTick;
}

std::int64_t TempoMap::frameAt(std::uint64_t tick, double sampleRate) const {
  return static_cast<std::int64_t>(std::llround(secondsAt(tick) * sampleRate));
}

double TempoMap::initialBpm() const { return 60e6 / segments.front().microsecondsPerQuarter; }

}  // namespace brume
