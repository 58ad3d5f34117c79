// The built-in demo phrase: well formed, polyphonic, and timed by its tempo.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "tools/brume7-host/midi/DemoSong.h"
#include "tools/brume7-host/midi/TempoMap.h"

namespace brume {
namespace {

TEST(DemoSong, ReleasesEveryNoteItPlays) {
  const MidiSong song = makeDemoSong(120.0);
  std::array<int, 128> held{};
  int most = 0;
  int sounding = 0;
  std::uint64_t previousTick = 0;
  for (const MidiMessage& message : song.messages) {
    ASSERT_GE(message.tick, previousTick) << "messages out of order";
    previousTick = message.tick;
    const int status = message.data[0] & 0xF0;
    ASSERT_TRUE(status == 0x80 || status == 0x90) << "only notes expected";
    if (status == 0x90) {
      ASSERT_GT(message.data[2], 0) << "a note-on with velocity 0 at tick " << message.tick;
      ++held[message.data[1]];
      most = std::max(most, ++sounding);
    } else {
      ASSERT_GT(held[message.data[1]], 0) << "release of key " << int{message.data[1]} << " that is not held";
      --held[message.data[1]];
      --sounding;
    }
  }
  EXPECT_EQ(sounding, 0);
  // Chords, bass and melody together: at least 5 notes at once, within a 16-voice instrument.
  EXPECT_GE(most, 5);
  EXPECT_LE(most, 16);
}

TEST(DemoSong, LastsTwelveSecondsAtOneHundredAndTwentyBeatsPerMinute) {
  const MidiSong song = makeDemoSong(120.0);
  const TempoMap tempo(song);
  EXPECT_DOUBLE_EQ(tempo.initialBpm(), 120.0);
  EXPECT_DOUBLE_EQ(tempo.secondsAt(song.messages.back().tick), 12.0);
  const MidiSong faster = makeDemoSong(240.0);
  EXPECT_DOUBLE_EQ(TempoMap(faster).secondsAt(faster.messages.back().tick), 6.0);
}

TEST(DemoSong, AutomatesCutoffAndPanInTime) {
  const std::vector<TimedAssignment> automation = makeDemoAutomation(120.0);
  ASSERT_FALSE(automation.empty());
  for (const TimedAssignment& change : automation) {
    EXPECT_TRUE(change.assignment.parameter == "Cutoff" || change.assignment.parameter == "Pan");
    EXPECT_GE(change.assignment.value, 0.0f);
    EXPECT_LE(change.assignment.value, 1.0f);
    EXPECT_GE(change.seconds, 0.0);
    EXPECT_LE(change.seconds, 12.0);
  }
  // At half the tempo every change comes twice as late.
  const std::vector<TimedAssignment> slower = makeDemoAutomation(60.0);
  ASSERT_EQ(slower.size(), automation.size());
  for (std::size_t i = 0; i < automation.size(); ++i) EXPECT_DOUBLE_EQ(slower[i].seconds, 2.0 * automation[i].seconds);
}

}  // namespace
}  // namespace brume
