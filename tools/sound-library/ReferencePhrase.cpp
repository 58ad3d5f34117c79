#include "tools/sound-library/ReferencePhrase.h"

#include <algorithm>
#include <cmath>

namespace brume::sounds {
namespace {

constexpr int kTicksPerBeat = 480;

std::vector<PhraseNote> makePhrase() {
  std::vector<PhraseNote> notes;
  for (int key : {60, 64, 67, 71}) notes.push_back({0.0, 1.5, key, 100});
  const int melody[] = {72, 74, 76, 79, 77, 74, 72, 67};
  const int velocities[] = {110, 70, 90, 60, 120, 80, 50, 100};
  for (int step = 0; step < 8; ++step) notes.push_back({2.0 + 0.5 * step, 0.4, melody[step], velocities[step]});
  notes.push_back({6.5, 2.0, 36, 96});
  return notes;
}

struct MidiMessage {
  std::uint32_t tick;
  std::uint8_t status, key, velocity;
};

void putVariableLength(std::vector<std::uint8_t>& out, std::uint32_t value) {
  std::uint8_t bytes[5];
  int count = 0;
  do {
    bytes[count++] = static_cast<std::uint8_t>(value & 0x7f);
    value >>= 7;
  } while (value != 0);
  while (count > 1) out.push_back(static_cast<std::uint8_t>(bytes[--count] | 0x80));
  out.push_back(bytes[0]);
}

void putBigEndian(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
  for (int shift = 8 * (bytes - 1); shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

std::uint32_t ticksOf(double beats) { return static_cast<std::uint32_t>(std::lround(beats * kTicksPerBeat)); }

}  // namespace

const std::vector<PhraseNote>& referencePhrase() {
  static const std::vector<PhraseNote> phrase = makePhrase();
  return phrase;
}

std::vector<std::uint8_t> referencePhraseMidiFile() {
  std::vector<MidiMessage> messages;
  for (const PhraseNote& note : referencePhrase()) {
    messages.push_back(
        {ticksOf(note.startBeat), 0x90, static_cast<std::uint8_t>(note.key), static_cast<std::uint8_t>(note.velocity)});
    messages.push_back({ticksOf(note.startBeat + note.lengthBeats), 0x80, static_cast<std::uint8_t>(note.key), 0});
  }
  // Releases before starts at the same tick, as a sequencer sends them.
  std::stable_sort(messages.begin(), messages.end(), [](const MidiMessage& a, const MidiMessage& b) {
    return a.tick != b.tick ? a.tick < b.tick : a.status < b.status;
  });

  std::vector<std::uint8_t> track;
  const auto microsecondsPerBeat = static_cast<std::uint32_t>(std::lround(60e6 / kPhraseTempo));
  track.insert(track.end(), {0x00, 0xff, 0x51, 0x03});
  putBigEndian(track, microsecondsPerBeat, 3);
  std::uint32_t tick = 0;
  for (const MidiMessage& message : messages) {
    putVariableLength(track, message.tick - tick);
    tick = message.tick;
    track.insert(track.end(), {message.status, message.key, message.velocity});
  }
  track.insert(track.end(), {0x00, 0xff, 0x2f, 0x00});

  std::vector<std::uint8_t> file = {'M', 'T', 'h', 'd'};
  putBigEndian(file, 6, 4);
  putBigEndian(file, 0, 2);  // format 0
  putBigEndian(file, 1, 2);  // one track
  putBigEndian(file, kTicksPerBeat, 2);
  file.insert(file.end(), {'M', 'T', 'r', 'k'});
  putBigEndian(file, static_cast<std::uint32_t>(track.size()), 4);
  file.insert(file.end(), track.begin(), track.end());
  return file;
}

}  // namespace brume::sounds
