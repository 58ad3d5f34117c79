// The Standard MIDI File reader on the shapes real files take.

#include <gtest/gtest.h>

#include "tests/tool/ExpectError.h"
#include "tests/tool/ToolTestSupport.h"
#include "tools/brume7-host/midi/EventSchedule.h"
#include "tools/brume7-host/midi/MidiSong.h"
#include "tools/brume7-host/midi/TempoMap.h"
#include "tools/brume7-host/ToolError.h"

namespace brume {
namespace {

using test::Bytes;
using test::endOfTrack;
using test::event;
using test::joined;
using test::midiHeader;
using test::midiTrack;
using test::tempoEvent;
using test::throwsWith;

MidiSong parse(const Bytes& bytes) { return parseMidiFile(bytes.data(), bytes.size()); }

::testing::AssertionResult isMessage(const MidiMessage& message, std::uint64_t tick, std::initializer_list<int> bytes) {
  if (message.tick != tick) return ::testing::AssertionFailure() << "tick " << message.tick << ", expected " << tick;
  if (message.size != bytes.size()) {
    return ::testing::AssertionFailure() << "size " << int{message.size} << ", expected " << bytes.size();
  }
  int i = 0;
  for (int expected : bytes) {
    if (message.data[i] != expected) {
      return ::testing::AssertionFailure()
             << "byte " << i << " is " << int{message.data[i]} << ", expected " << expected << " (tick " << tick << ")";
    }
    ++i;
  }
  return ::testing::AssertionSuccess();
}

TEST(MidiFileReader, ReadsFormatZeroWithRunningStatus) {
  // Note on 60, then (running status) note on 64 at the same tick, then both
  // released with velocity-0 note-ons at tick 480, still in running status.
  const Bytes file =
      joined({midiHeader(0, 1, 480), midiTrack(joined({event(0, {0x90, 60, 100}), event(0, {64, 90}),
                                                       event(480, {60, 0}), event(0, {64, 0}), endOfTrack()}))});
  const MidiSong song = parse(file);
  EXPECT_EQ(song.format, 0);
  EXPECT_EQ(song.trackCount, 1);
  EXPECT_EQ(song.division, 480);
  ASSERT_EQ(song.messages.size(), 4u);
  EXPECT_TRUE(isMessage(song.messages[0], 0, {0x90, 60, 100}));
  EXPECT_TRUE(isMessage(song.messages[1], 0, {0x90, 64, 90}));
  EXPECT_TRUE(isMessage(song.messages[2], 480, {0x90, 60, 0}));
  EXPECT_TRUE(isMessage(song.messages[3], 480, {0x90, 64, 0}));
  EXPECT_EQ(song.endTick, 480u);
  EXPECT_TRUE(song.tempoChanges.empty());
}

TEST(MidiFileReader, RunningStatusWorksForOneDataByteMessages) {
  // Program change 5 then 7, channel pressure 40 then 50, each pair sharing one status byte.
  const Bytes file = joined(
      {midiHeader(0, 1, 96),
       midiTrack(joined({event(0, {0xC1, 5}), event(10, {7}), event(10, {0xD1, 40}), event(10, {50}), endOfTrack()}))});
  const MidiSong song = parse(file);
  ASSERT_EQ(song.messages.size(), 4u);
  EXPECT_TRUE(isMessage(song.messages[0], 0, {0xC1, 5}));
  EXPECT_TRUE(isMessage(song.messages[1], 10, {0xC1, 7}));
  EXPECT_TRUE(isMessage(song.messages[2], 20, {0xD1, 40}));
  EXPECT_TRUE(isMessage(song.messages[3], 30, {0xD1, 50}));
}

TEST(MidiFileReader, MergesFormatOneTracksAndCollectsTheTempoMap) {
  // Track 0: the tempo map (120 BPM, then 60 BPM from tick 960). Tracks 1 and 2: notes and a controller.
  const Bytes tempoTrack = midiTrack(joined({tempoEvent(0, 500000), event(0, {0xFF, 0x03, 0x04, 'S', 'o', 'n', 'g'}),
                                             tempoEvent(960, 1000000), endOfTrack(960)}));
  const Bytes melody = midiTrack(joined({event(480, {0x90, 72, 100}), event(480, {0x80, 72, 64}), endOfTrack()}));
  const Bytes bass = midiTrack(
      joined({event(0, {0x91, 36, 80}), event(960, {0xB1, 7, 100}), event(0, {0x81, 36, 0}), endOfTrack(480)}));
  const MidiSong song = parse(joined({midiHeader(1, 3, 480), tempoTrack, melody, bass}));
  EXPECT_EQ(song.format, 1);
  EXPECT_EQ(song.trackCount, 3);
  ASSERT_EQ(song.tempoChanges.size(), 2u);
  EXPECT_EQ(song.tempoChanges[0].tick, 0u);
  EXPECT_EQ(song.tempoChanges[0].microsecondsPerQuarter, 500000u);
  EXPECT_EQ(song.tempoChanges[1].tick, 960u);
  EXPECT_EQ(song.tempoChanges[1].microsecondsPerQuarter, 1000000u);
  ASSERT_EQ(song.messages.size(), 5u);
  EXPECT_TRUE(isMessage(song.messages[0], 0, {0x91, 36, 80}));
  EXPECT_TRUE(isMessage(song.messages[1], 480, {0x90, 72, 100}));
  // Tick 960 holds three messages: the melody's (track 1) before the bass track's, each track in its own order.
  EXPECT_TRUE(isMessage(song.messages[2], 960, {0x80, 72, 64}));
  EXPECT_TRUE(isMessage(song.messages[3], 960, {0xB1, 7, 100}));
  EXPECT_TRUE(isMessage(song.messages[4], 960, {0x81, 36, 0}));
  EXPECT_EQ(song.messages[2].track, 1);
  EXPECT_EQ(song.messages[3].track, 2);
  EXPECT_EQ(song.endTick, 1920u);    // the tempo track ends last
  EXPECT_EQ(song.skippedEvents, 4);  // the track name and three ends of track
}

TEST(MidiFileReader, KeepsZeroLengthNotesInOrder) {
  // Note 60 pressed and released at tick 100, note 62 likewise; a host must deliver on before off.
  const Bytes file = joined(
      {midiHeader(0, 1, 480), midiTrack(joined({event(100, {0x90, 60, 100}), event(0, {0x80, 60, 0}),
                                                event(0, {0x90, 62, 90}), event(0, {0x80, 62, 0}), endOfTrack()}))});
  const MidiSong song = parse(file);
  ASSERT_EQ(song.messages.size(), 4u);
  EXPECT_TRUE(isMessage(song.messages[0], 100, {0x90, 60, 100}));
  EXPECT_TRUE(isMessage(song.messages[1], 100, {0x80, 60, 0}));
  EXPECT_TRUE(isMessage(song.messages[2], 100, {0x90, 62, 90}));
  EXPECT_TRUE(isMessage(song.messages[3], 100, {0x80, 62, 0}));

  // The schedule keeps the order and adds no release of its own: every note was released.
  const EventSchedule schedule = scheduleSong(song, TempoMap(song), 48000.0);
  ASSERT_EQ(schedule.events().size(), 4u);
  EXPECT_EQ(schedule.events()[1].midi[0], 0x80);
}

TEST(MidiFileReader, SkipsSysexMetaAndUnknownChunks) {
  const Bytes alien = {'X', 'F', 'I', 'H', 0, 0, 0, 3, 1, 2, 3};
  const Bytes track = midiTrack(joined({event(0, {0xF0, 0x03, 0x7E, 0x09, 0xF7}),        // sysex
                                        event(0, {0xFF, 0x58, 0x04, 4, 2, 24, 8}),       // time signature
                                        event(0, {0xF7, 0x02, 0xF8, 0xFA}),              // escaped real-time bytes
                                        event(10, {0xB0, 64, 127}), event(10, {64, 0}),  // sustain pedal down, up
                                        endOfTrack()}));
  const MidiSong song = parse(joined({midiHeader(0, 1, 480), alien, track}));
  ASSERT_EQ(song.messages.size(), 2u);
  EXPECT_TRUE(isMessage(song.messages[0], 10, {0xB0, 64, 127}));
  EXPECT_TRUE(isMessage(song.messages[1], 20, {0xB0, 64, 0}));
  EXPECT_EQ(song.skippedEvents, 4);
}

TEST(MidiFileReader, ReadsMultiByteDeltaTimesAndTracksWithoutEndMarker) {
  // Deltas of 128 (0x81 0x00) and 2097151 (0xFF 0xFF 0x7F); the track just stops without an end-of-track event.
  const Bytes file =
      joined({midiHeader(0, 1, 480), midiTrack(joined({event(128, {0x90, 60, 1}), event(2097151, {0x80, 60, 0})}))});
  const MidiSong song = parse(file);
  ASSERT_EQ(song.messages.size(), 2u);
  EXPECT_EQ(song.messages[0].tick, 128u);
  EXPECT_EQ(song.messages[1].tick, 128u + 2097151u);
  EXPECT_EQ(song.endTick, 128u + 2097151u);
}

TEST(MidiFileReader, RefusesTruncatedFiles) {
  const Bytes track = midiTrack(joined({event(0, {0x90, 60, 100}), event(480, {0x80, 60, 0}), endOfTrack()}));
  // The header announces two tracks; the file holds one.
  EXPECT_TRUE(throwsWith<ToolError>([&] { parse(joined({midiHeader(1, 2, 480), track})); }, "truncated"));
  // The track chunk is cut in the middle.
  Bytes cut = joined({midiHeader(0, 1, 480), track});
  cut.resize(cut.size() - 5);
  EXPECT_TRUE(throwsWith<ToolError>([&] { parse(cut); }, "truncated MIDI file: track 0 runs past the end"));
  // The chunk length is right but the last event is incomplete inside it.
  const Bytes shortEvent =
      joined({midiHeader(0, 1, 480), midiTrack(joined({event(0, {0x90, 60, 100}), {0x00, 0x80, 60}}))});
  EXPECT_TRUE(throwsWith<ToolError>([&] { parse(shortEvent); }, "ends inside an event"));
  // The header itself is cut.
  const Bytes header = midiHeader(0, 1, 480);
  EXPECT_TRUE(throwsWith<ToolError>([&] { parseMidiFile(header.data(), 10); }, "truncated"));
}

TEST(MidiFileReader, RefusesFilesThatAreNotMidi) {
  const Bytes wave = {'R', 'I', 'F', 'F', 36, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' '};
  EXPECT_TRUE(throwsWith<ToolError>([&] { parse(wave); }, "not a Standard MIDI File"));
  EXPECT_TRUE(throwsWith<ToolError>([&] { parse(Bytes{}); }, "not a Standard MIDI File"));
  EXPECT_TRUE(throwsWith<ToolError>(
      [&] {
        parse(joined({midiHeader(2, 1, 480), midiTrack(endOfTrack())}));
      },
      "format 2"));
  EXPECT_TRUE(throwsWith<ToolError>(
      [&] {
        parse(joined({midiHeader(0, 1, 0), midiTrack(endOfTrack())}));
      },
      "time division 0"));
}

TEST(MidiFileReader, RefusesDataBytesWithoutStatus) {
  // The first event of a track has no status to run on.
  EXPECT_TRUE(throwsWith<ToolError>(
      [&] {
        parse(joined({midiHeader(0, 1, 480), midiTrack(joined({event(0, {60, 100}), endOfTrack()}))}));
      },
      "a data byte without a status byte"));
  // A sysex event ends running status.
  EXPECT_TRUE(throwsWith<ToolError>(
      [&] {
        parse(joined({midiHeader(0, 1, 480), midiTrack(joined({event(0, {0x90, 60, 100}), event(0, {0xF0, 0x01, 0xF7}),
                                                               event(0, {62, 100}), endOfTrack()}))}));
      },
      "a data byte without a status byte"));
  // A status byte inside a message's data.
  EXPECT_TRUE(throwsWith<ToolError>(
      [&] {
        parse(joined({midiHeader(0, 1, 480), midiTrack(joined({event(0, {0x90, 60, 0x90}), endOfTrack()}))}));
      },
      "a status byte where a data byte belongs"));
}

TEST(MidiFileReader, NamesTheFileItCannotRead) {
  const test::TemporaryFolder folder;
  const std::string missing = folder.file("missing.mid");
  EXPECT_TRUE(throwsWith<ToolError>([&] { readMidiFile(missing); }, "cannot read MIDI file '" + missing + "'"));
  const std::string text = folder.file("notes.mid");
  test::writeFile(text, Bytes{'h', 'e', 'l', 'l', 'o', '\n'});
  EXPECT_TRUE(throwsWith<ToolError>([&] { readMidiFile(text); }, "MIDI file '" + text + "': not a Standard MIDI File"));
}

}  // namespace
}  // namespace brume
