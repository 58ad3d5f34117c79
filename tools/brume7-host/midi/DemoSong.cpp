#include "tools/brume7-host/midi/DemoSong.h"

#include <algorithm>
#include <cmath>

namespace brume {
namespace {

constexpr std::uint16_t kTicksPerQuarter = 480;
constexpr int kEighth = kTicksPerQuarter / 2;
constexpr int kQuarter = kTicksPerQuarter;
constexpr int kHalf = 2 * kTicksPerQuarter;
constexpr int kBar = 4 * kTicksPerQuarter;

struct Note {
  int start;   // ticks
  int length;  // ticks
  int key;
  int velocity;
};

// Bars 1 to 4: Am, F, C, G as sustained chords, with a bass line and a melody.
void addProgression(std::vector<Note>& notes) {
  const int chords[4][3] = {{57, 60, 64}, {53, 57, 60}, {55, 60, 64}, {55, 59, 62}};
  const int bass[4] = {45, 41, 48, 43};
  for (int bar = 0; bar < 4; ++bar) {
    for (int key : chords[bar]) notes.push_back({bar * kBar, kBar - kEighth / 2, key, 64});
    for (int half = 0; half < 2; ++half) {
      notes.push_back({bar * kBar + half * kHalf, kHalf - kEighth, bass[bar], 92});
    }
  }
  // Melody: {key, length} pairs, played one after the other.
  const int melody[][2] = {
      {76, kQuarter},
      {74, kEighth},
      {72, kEighth},
      {71, kQuarter},
      {72, kQuarter},  // bar 1
      {69, kQuarter + kEighth},
      {72, kEighth},
      {77, kQuarter},
      {76, kQuarter},  // bar 2
      {79, kEighth},
      {77, kEighth},
      {76, kEighth},
      {74, kEighth},
      {76, kQuarter},
      {72, kQuarter},  // bar 3
      {74, kQuarter},
      {71, kQuarter},
      {67, kHalf},  // bar 4
  };
  int tick = 0;
  int accent = 0;
  for (const auto& step : melody) {
    notes.push_back({tick, step[1] - kEighth / 4, step[0], 100 - 8 * (accent++ % 3)});
    tick += step[1];
  }
}

// Bars 5 and 6: a held A minor (add 9) chord with a held top note, and an arpeggio over it.
void addEnding(std::vector<Note>& notes) {
  const int start = 4 * kBar;
  for (int key : {45, 52, 57, 60, 64, 71}) notes.push_back({start, 2 * kBar, key, 70});
  notes.push_back({start, 2 * kBar, 76, 96});  // the held note
  const int arpeggio[] = {69, 72, 76, 81, 84, 81, 76, 72, 69, 72, 76, 81};
  int tick = start;
  for (int key : arpeggio) {
    notes.push_back({tick, kEighth / 2, key, 84});
    tick += kEighth;
  }
}

}  // namespace

MidiSong makeDemoSong(double bpm) {
  std::vector<Note> notes;
  addProgression(notes);
  addEnding(notes);

  MidiSong song;
  song.format = 0;
  song.trackCount = 1;
  song.division = kTicksPerQuarter;
  const double safeBpm = bpm > 0.0 ? bpm : 120.0;
  song.tempoChanges.push_back({0, static_cast<std::uint32_t>(std::lround(60e6 / safeBpm))});
  for (const Note& note : notes) {
    MidiMessage on;
    on.tick = static_cast<std::uint64_t>(note.start);
    on.size = 3;
    on.data[0] = 0x90;
    on.data[1] = static_cast<std::uint8_t>(note.key);
    on.data[2] = static_cast<std::uint8_t>(note.velocity);
    MidiMessage off = on;
    off.tick = static_cast<std::uint64_t>(note.start + note.length);
    off.data[0] = 0x80;
    off.data[2] = 64;
    song.messages.push_back(on);
    song.messages.push_back(off);
  }
  // At one tick, releases come before new notes, so that a repeated key is not cut short.
  std::stable_sort(song.messages.begin(), song.messages.end(), [](const MidiMessage& a, const MidiMessage& b) {
    if (a.tick != b.tick) return a.tick < b.tick;
    return (a.data[0] & 0xF0) == 0x80 && (b.data[0] & 0xF0) == 0x90;
  });
  song.endTick = song.messages.empty() ? 0 : song.messages.back().tick;
  return song;
}

std::vector<TimedAssignment> makeDemoAutomation(double bpm) {
  const double secondsPerBeat = 60.0 / (bpm > 0.0 ? bpm : 120.0);
  // {beat, parameter, value}: the filter opens bar by bar, then sweeps again over the final chord while it pans.
  struct Change {
    double beat;
    const char* parameter;
    float value;
  };
  const Change changes[] = {
      {0, "Cutoff", 0.40f},  {4, "Cutoff", 0.50f}, {8, "Cutoff", 0.60f}, {12, "Cutoff", 0.75f}, {16, "Cutoff", 0.45f},
      {18, "Cutoff", 0.60f}, {20, "Cutoff", 0.8f}, {16, "Pan", 0.35f},   {18, "Pan", 0.65f},    {20, "Pan", 0.5f},
  };
  std::vector<TimedAssignment> automation;
  for (const Change& change : changes) {
    automation.push_back({change.beat * secondsPerBeat, {change.parameter, change.value}});
  }
  return automation;
}

}  // namespace brume
