#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "EngineHarness.h"
#include "engine/BlockRenderer.h"

namespace brume {
namespace {

using test::EngineHarness;
using test::firstDifference;

// One held voice whose mono sample is exactly the input: all oscillators add at
// level 0, the envelope sits at 1, the velocity is 1, filter off.
void passInputThrough(EngineHarness& harness) {
  for (std::int32_t index : {kOsc1, kO1Vol, kOsc2, kO2Vol, kOsc3, kO3Vol, kAttack, kDecay, kLpFilter}) {
    harness.set(index, 0.0f);
  }
  harness.set(kSustain, 1.0f);
  harness.engine.noteOn(60, 60.0f, 1.0f, 0);
}

TEST(BlockRenderer, ReplacingWritesPannedLimitedSamples) {
  EngineHarness harness;
  passInputThrough(harness);
  harness.set(kVolume, 1.0f);
  harness.set(kPan, 0.0f);
  harness.set(kComp, 0.5f);
  std::vector<float> left(2, 5.0f), right(2, 5.0f);
  const float input[] = {3.0f, -3.0f};
  harness.render(left, right, 0, 2, true, input);
  EXPECT_EQ(left, (std::vector<float>{0.99f, -0.99f}));
  EXPECT_EQ(right, (std::vector<float>{0.0f, 0.0f}));

  harness.set(kPan, 0.5f);
  const float half[] = {0.5f, 0.5f};
  harness.render(left, right, 0, 2, true, half);
  EXPECT_EQ(left, (std::vector<float>{0.25f, 0.25f}));
  EXPECT_EQ(right, (std::vector<float>{0.25f, 0.25f}));

  harness.render(left, right, 0, 2, true, nullptr);  // no input channel: a silent input
  EXPECT_EQ(left, (std::vector<float>{0.0f, 0.0f}));
}

TEST(BlockRenderer, AccumulatingAddsToTheHostBufferAndLimitsTheSum) {
  EngineHarness harness;
  passInputThrough(harness);
  harness.set(kVolume, 1.0f);
  harness.set(kPan, 0.0f);
  harness.set(kComp, 0.5f);
  std::vector<float> left(1, 0.9f), right(1, 0.9f);
  const float input[] = {0.5f};
  harness.render(left, right, 0, 1, false, input);
  EXPECT_EQ(left[0], 0.99f);
  EXPECT_EQ(right[0], 0.9f);

  EngineHarness silent;
  std::vector<float> full(1, 1.5f), quiet(1, 0.25f);
  silent.render(full, quiet, 0, 1, false, input);
  EXPECT_EQ(full[0], 0.99f);
  EXPECT_EQ(quiet[0], 0.25f);
  silent.render(full, quiet, 0, 1, true, input);
  EXPECT_EQ(full[0], 0.0f);  // no voice: the input is not passed through
}

TEST(BlockRenderer, CountsSamplesAndTicksTheLfosEveryHundred) {
  EngineHarness harness;
  harness.set(kLfo1, 1.0f);
  harness.set(kL1Aim, 20.5f / 46.0f);  // slot 20: "Sustain"
  harness.lfos[0].setHoldUntil(-1);
  harness.writes.clear();
  std::vector<float> left(250), right(250);
  harness.render(left, right, 0, 250);
  EXPECT_EQ(harness.sampleCounter.load(), 250);
  ASSERT_EQ(harness.writes.size(), 3u);  // at 0, 100 and 200
  EXPECT_EQ(harness.writes[0].first, kSustain);

  harness.render(left, right, 0, 0);
  harness.render(left, right, 0, -5);
  harness.render(left, right, 0, 1, true);
  EXPECT_EQ(harness.sampleCounter.load(), 251);
  EXPECT_EQ(harness.engine.engineClock(), 251);

  harness.sampleCounter = std::numeric_limits<std::int32_t>::max();
  harness.render(left, right, 0, 2);
  EXPECT_EQ(harness.sampleCounter.load(), std::numeric_limits<std::int32_t>::min() + 1);

  const RenderContext context{harness.engine, harness.filter,        harness.lfos,
                              harness.values, harness.sampleCounter, harness};
  renderBlockSamples(nullptr, nullptr, right.data(), 4, true, context);
  EXPECT_EQ(harness.engine.engineClock(), 253);  // a missing output renders nothing
}

struct TimedEvent {
  std::int32_t time;
  std::uint8_t status;
  std::uint8_t key;
  std::uint8_t velocity;
};

// Renders 4096 samples in blocks of the given sizes (repeated), handing each
// block the events that fall in it, as a host does.
void renderInBlocks(const std::vector<std::int32_t>& sizes, std::vector<float>& left, std::vector<float>& right) {
  const TimedEvent events[] = {
      {0, 0x90, 60, 100},  {37, 0x90, 64, 90},  {500, 0x90, 67, 110},  {900, 0x80, 60, 0},  {1500, 0x90, 72, 80},
      {1501, 0x80, 64, 0}, {1501, 0x90, 67, 0}, {2600, 0x90, 62, 127}, {3000, 0x80, 72, 0}, {3900, 0x80, 62, 0},
  };
  EngineHarness harness;
  harness.set(kGlide, 1.0f);
  harness.set(kO1Shape, 0.8f);  // "Noise"
  left.assign(4096, 0.0f);
  right.assign(4096, 0.0f);
  std::int32_t start = 0;
  for (std::size_t block = 0; start < 4096; ++block) {
    const std::int32_t frames = std::min(sizes[block % sizes.size()], 4096 - start);
    for (int pass : {kModulatorPass, kVoicePass}) {
      for (const TimedEvent& event : events) {
        if (event.time < start || event.time >= start + frames) continue;
        const MidiMessage message{event.status, event.key, event.velocity, 0, event.time - start};
        handleMidiMessage(pass, message, harness.engine, harness.values, harness);
      }
    }
    harness.render(left, right, start, frames);
    start += frames;
  }
}

TEST(BlockRenderer, BlockSizeDoesNotChangeTheSamples) {
  std::vector<float> oneLeft, oneRight, manyLeft, manyRight;
  renderInBlocks({4096}, oneLeft, oneRight);
  renderInBlocks({1, 7, 13, 64, 129, 333, 2, 511}, manyLeft, manyRight);
  EXPECT_NE(oneLeft[3000], 0.0f);
  EXPECT_EQ(firstDifference(oneLeft, manyLeft), -1) << "left channel";
  EXPECT_EQ(firstDifference(oneRight, manyRight), -1) << "right channel";
}

}  // namespace
}  // namespace brume
