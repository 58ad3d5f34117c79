// The live path's pieces without a server: the cycle's event list, the
// recording ring and its writer, and the command line of play.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/play/PlayTestSupport.h"
#include "tools/brume7-host/audio/AudioFile.h"
#include "tools/brume7-host/live/LiveEventList.h"
#include "tools/brume7-host/live/PlayOptions.h"
#include "tools/brume7-host/live/RecordingRing.h"
#include "tools/brume7-host/live/RecordingWriter.h"
#include "tools/brume7-host/ToolError.h"

namespace brume::test {
namespace {

std::vector<std::vector<std::uint8_t>> listed(LiveEventList& events, std::vector<int>* frames = nullptr) {
  std::vector<std::vector<std::uint8_t>> messages;
  for (std::size_t i = 0; i < events.size(); ++i) {
    const MidiEvent& midi = events.data()[i];
    messages.push_back(std::vector<std::uint8_t>(midi.bytes, midi.bytes + midi.size));
    if (frames) frames->push_back(static_cast<int>(midi.frame));
  }
  return messages;
}

TEST(LiveEventList, KeepsOrderFramesAndBytesAndCountsWhatDoesNotFit) {
  LiveEventList events(3);
  const std::uint8_t on[] = {0x91, 60, 100}, program[] = {0xC1, 5}, bend[] = {0xE0, 0, 64}, off[] = {0x81, 60, 0};
  EXPECT_TRUE(events.add(7, on, 3));
  EXPECT_TRUE(events.add(0, program, 2));
  EXPECT_TRUE(events.add(255, bend, 3));
  EXPECT_FALSE(events.add(256, off, 3));
  std::vector<int> frames;
  EXPECT_EQ(listed(events, &frames),
            (std::vector<std::vector<std::uint8_t>>{{0x91, 60, 100}, {0xC1, 5}, {0xE0, 0, 64}}));
  EXPECT_EQ(frames, (std::vector<int>{7, 0, 255}));
  EXPECT_EQ(events.droppedEvents(), 1u);
  events.clear();
  EXPECT_EQ(events.size(), 0u);
}

TEST(LiveEventList, SkipsSystemAndIncompleteMessages) {
  LiveEventList events(8);
  const std::uint8_t sysex[] = {0xF0, 1, 2, 3, 0xF7}, clock[] = {0xF8}, running[] = {60, 100}, shortNote[] = {0x90, 60};
  EXPECT_FALSE(events.add(0, sysex, 5));
  EXPECT_FALSE(events.add(0, clock, 1));
  EXPECT_FALSE(events.add(0, running, 2));
  EXPECT_FALSE(events.add(0, shortNote, 2));
  EXPECT_EQ(events.size(), 0u);
  EXPECT_EQ(events.skippedMessages(), 4u);
  EXPECT_EQ(events.droppedEvents(), 0u);
}

TEST(LiveEventList, ReleasesReleaseTheHeldNotesAndSilenceEveryChannelPlayed) {
  LiveEventList events(16);
  const std::uint8_t onA[] = {0x90, 60, 100}, onB[] = {0x93, 64, 1}, onC[] = {0x90, 67, 90};
  const std::uint8_t offC[] = {0x80, 67, 0}, zeroVelocityA[] = {0x90, 60, 0}, onAagain[] = {0x90, 60, 80};
  for (const std::uint8_t* message : {onA, onB, onC, offC, zeroVelocityA, onAagain}) events.add(0, message, 3);
  EXPECT_EQ(events.heldNoteCount(), 2);
  events.clear();
  events.addReleases(0);
  EXPECT_EQ(listed(events),
            (std::vector<std::vector<std::uint8_t>>{{0x80, 60, 0}, {0x83, 64, 0}, {0xB0, 123, 0}, {0xB3, 123, 0}}));
  EXPECT_EQ(events.heldNoteCount(), 0);
}

TEST(RecordingRing, HandsOnEveryFrameInOrderAcrossTheWrap) {
  RecordingRing ring(2, 10);
  std::vector<float> left(7), right(7), out(2 * 7);
  std::vector<float> expected, received;
  float next = 0.0f;
  for (int round = 0; round < 20; ++round) {
    const std::size_t frames = 1 + round % 7;
    for (std::size_t i = 0; i < frames; ++i) {
      left[i] = next++;
      right[i] = -left[i];
      expected.insert(expected.end(), {left[i], right[i]});
    }
    const float* buffers[] = {left.data(), right.data()};
    ASSERT_TRUE(ring.write(buffers, frames)) << "round " << round;
    const std::size_t read = ring.read(out.data(), 4 + round % 3);
    received.insert(received.end(), out.begin(), out.begin() + static_cast<std::ptrdiff_t>(2 * read));
    while (std::size_t more = ring.read(out.data(), 7)) {
      received.insert(received.end(), out.begin(), out.begin() + static_cast<std::ptrdiff_t>(2 * more));
    }
  }
  EXPECT_EQ(received, expected);
  EXPECT_EQ(ring.lostFrames(), 0u);
}

TEST(RecordingRing, RefusesAWholeBlockWhenFullAndCountsItLost) {
  RecordingRing ring(1, 8);
  std::vector<float> block = {1, 2, 3, 4, 5};
  const float* buffers[] = {block.data()};
  EXPECT_TRUE(ring.write(buffers, 5));
  EXPECT_FALSE(ring.write(buffers, 5));
  EXPECT_EQ(ring.lostFrames(), 5u);
  std::vector<float> out(8);
  ASSERT_EQ(ring.read(out.data(), 8), 5u);
  EXPECT_EQ(std::vector<float>(out.begin(), out.begin() + 5), block);
}

TEST(RecordingWriter, NamesTheFileOnlyWhenCompleteWithTheSamplesWritten) {
  ScratchFolder folder;
  const std::string path = folder.file("take.wav");
  AudioFileLayout layout;
  layout.sampleRate = 48000;
  std::vector<float> left(3000), right(3000);
  for (std::size_t i = 0; i < left.size(); ++i) {
    left[i] = static_cast<float>(i) / 4096.0f;
    right[i] = -0.5f;
  }
  {
    RecordingWriter abandoned(folder.file("lost.wav"), layout, 1024);
    abandoned.start();
  }
  RecordingWriter writer(path, layout, 1024);
  writer.start();
  for (std::size_t start = 0; start < left.size(); start += 500) {
    const float* buffers[] = {left.data() + start, right.data() + start};
    while (!writer.ring().write(buffers, 500)) usleep(1000);
  }
  EXPECT_EQ(access(path.c_str(), F_OK), -1) << "named before it is complete";
  writer.finish();
  EXPECT_EQ(folder.entries(), std::vector<std::string>{"take.wav"});
  const AudioData audio = readAudioFile(path);
  ASSERT_EQ(audio.frameCount(), 3000);
  for (std::size_t i = 0; i < left.size(); ++i) {
    ASSERT_EQ(audio.samples[2 * i], left[i]) << i;
    ASSERT_EQ(audio.samples[2 * i + 1], right[i]) << i;
  }
  EXPECT_EQ(writer.framesWritten(), 3000u);
}

TEST(PlayOptions, ParsesConnectionsInOrderAndTheRest) {
  const PlayOptions options = parsePlayOptions({"--connect-midi", "a:x", "Synth.so", "--connect-audio", "s:p1",
                                                "--connect-midi=b:y", "--connect-audio", "s:p2", "--set", "Cutoff=0.25",
                                                "--record", "x.flac", "--seconds", "2.5", "--editor", "--no-connect"});
  EXPECT_EQ(options.pluginPath, "Synth.so");
  EXPECT_EQ(options.midiPorts, (std::vector<std::string>{"a:x", "b:y"}));
  EXPECT_EQ(options.audioPorts, (std::vector<std::string>{"s:p1", "s:p2"}));
  ASSERT_EQ(options.setup.settings.size(), 1u);
  EXPECT_EQ(options.setup.settings[0].value, 0.25f);
  EXPECT_EQ(options.resolvedFormat(), SampleFormat::Pcm24);
  EXPECT_EQ(options.seconds, 2.5);
  EXPECT_TRUE(options.editor);
  EXPECT_TRUE(options.noConnect);
}

class PlayOptionsRefuse : public ::testing::TestWithParam<std::vector<std::string>> {};

TEST_P(PlayOptionsRefuse, AMalformedCommandLine) { EXPECT_THROW(parsePlayOptions(GetParam()), UsageError); }

INSTANTIATE_TEST_SUITE_P(
    BadCommandLines, PlayOptionsRefuse,
    ::testing::Values(std::vector<std::string>{"a.so", "b.so"}, std::vector<std::string>{"--seconds", "-1"},
                      std::vector<std::string>{"--seconds"}, std::vector<std::string>{"--connect-midi="},
                      std::vector<std::string>{"--format", "pcm16"},
                      std::vector<std::string>{"--record", "x.wav", "--format", "mp3"},
                      std::vector<std::string>{"--set", "Cutoff"}, std::vector<std::string>{"--max-events", "0"},
                      std::vector<std::string>{"--loud"}));

}  // namespace
}  // namespace brume::test
