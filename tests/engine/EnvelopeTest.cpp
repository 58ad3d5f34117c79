#include <gtest/gtest.h>

#include "OneSample.h"

#include <vector>

#include "engine/Envelope.h"
#include "engine/SynthEngine.h"

namespace brume {
namespace {

// One note on voice 0 of an engine with the given envelope, rendered a sample at a time.
struct EnvelopeRun {
  SynthEngine engine;

  EnvelopeRun(std::int32_t attack, std::int32_t decay, float sustain, std::int32_t release) {
    engine.setAttackLength(attack);
    engine.setDecayLength(decay);
    engine.setSustain(sustain);
    engine.setReleaseLength(release);
    engine.noteOn(60, 60.0f, 1.0f, 0);
  }

  const Voice& voice() const { return engine.voice(0); }
  void releaseAt(std::int64_t clock) { engine.noteOff(60, static_cast<std::int32_t>(clock - engine.engineClock())); }

  // Levels of the samples at clock values from, from + 1, ... (count of them).
  std::vector<float> levels(std::int64_t from, std::int32_t count) {
    EXPECT_EQ(engine.engineClock(), from);
    std::vector<float> result;
    for (std::int32_t i = 0; i < count; ++i) {
      test::renderOneSample(engine);
      result.push_back(voice().envelopeLevel);
    }
    return result;
  }
};

TEST(Envelope, RunsThroughAllFourStagesWithItsStepRules) {
  EnvelopeRun run(4, 4, 0.5f, 4);
  EXPECT_EQ(run.levels(0, 4), (std::vector<float>{0.25f, 0.5f, 0.75f, 1.0f}));
  EXPECT_EQ(run.voice().stage, EnvelopeStage::Decay);
  EXPECT_EQ(run.voice().envelopeStep, -0.125f);  // (0.5 - 1) / 4
  EXPECT_EQ(run.levels(4, 4), (std::vector<float>{0.875f, 0.75f, 0.625f, 0.5f}));
  EXPECT_EQ(run.voice().stage, EnvelopeStage::Sustain);

  run.releaseAt(10);
  EXPECT_EQ(run.levels(8, 3), (std::vector<float>{0.5f, 0.5f, 0.5f}));  // clock 10 is not past 10
  EXPECT_EQ(run.voice().stage, EnvelopeStage::Sustain);
  EXPECT_EQ(run.levels(11, 1), (std::vector<float>{0.5f}));  // enters Release, level unchanged
  EXPECT_EQ(run.voice().stage, EnvelopeStage::Release);
  EXPECT_EQ(run.voice().endTime, 15);
  EXPECT_EQ(run.voice().envelopeStep, -0.125f);                               // -(0.5 / 4)
  EXPECT_EQ(run.levels(12, 3), (std::vector<float>{0.375f, 0.25f, 0.125f}));  // last sounding: 0.5 / 4
}

TEST(Envelope, AttackOfOneSampleReachesFullLevelAtOnce) {
  EnvelopeRun run(1, 4, 0.5f, 4);
  EXPECT_EQ(run.levels(0, 1), (std::vector<float>{1.0f}));
  EXPECT_EQ(run.voice().stage, EnvelopeStage::Decay);
}

TEST(Envelope, SustainOneSkipsTheDecay) {
  EnvelopeRun run(1, 100, 1.0f, 4);
  EXPECT_EQ(run.levels(0, 2), (std::vector<float>{1.0f, 1.0f}));
  EXPECT_EQ(run.voice().stage, EnvelopeStage::Sustain);
}

TEST(Envelope, SustainZeroHoldsSilenceAndReleasesWithAZeroStep) {
  EnvelopeRun run(1, 2, 0.0f, 4);
  EXPECT_EQ(run.levels(0, 3), (std::vector<float>{1.0f, 0.5f, 0.0f}));
  EXPECT_EQ(run.voice().stage, EnvelopeStage::Sustain);
  run.releaseAt(2);
  run.levels(3, 1);
  EXPECT_EQ(run.voice().stage, EnvelopeStage::Release);
  EXPECT_EQ(run.voice().envelopeStep, 0.0f);
  EXPECT_EQ(run.voice().endTime, 7);
}

TEST(Envelope, ReleaseDuringAttackWaitsForSustain) {
  EnvelopeRun run(2, 2, 0.5f, 4);
  run.releaseAt(0);
  EXPECT_EQ(run.levels(0, 4), (std::vector<float>{0.5f, 1.0f, 0.75f, 0.5f}));
  EXPECT_EQ(run.voice().stage, EnvelopeStage::Sustain);
  run.levels(4, 1);
  EXPECT_EQ(run.voice().stage, EnvelopeStage::Release);
}

TEST(Envelope, NewLengthsLeaveARunningStageAlone) {
  EnvelopeRun run(4, 4, 0.5f, 4);
  run.levels(0, 1);
  run.engine.setAttackLength(1);
  EXPECT_EQ(run.levels(1, 1), (std::vector<float>{0.5f}));
}

TEST(Envelope, SetSustainMovesOnlyVoicesInSustain) {
  SynthEngine engine;
  engine.setAttackLength(1);
  engine.setDecayLength(1);
  engine.setSustain(0.5f);
  engine.noteOn(60, 60.0f, 1.0f, 0);
  engine.noteOn(62, 62.0f, 1.0f, 0);
  for (int i = 0; i < 3; ++i) test::renderOneSample(engine, 0.0f);
  engine.noteOff(62, 0);
  for (int i = 0; i < 3; ++i) test::renderOneSample(engine, 0.0f);
  ASSERT_EQ(engine.voice(0).stage, EnvelopeStage::Sustain);
  ASSERT_EQ(engine.voice(1).stage, EnvelopeStage::Release);
  const float releasing = engine.voice(1).envelopeLevel;

  engine.setSustain(0.8f);
  EXPECT_EQ(engine.voice(0).envelopeLevel, 0.8f);
  EXPECT_EQ(engine.voice(1).envelopeLevel, releasing);
}

TEST(Envelope, VoiceEndsReleaseLengthSamplesAfterEnteringRelease) {
  SynthEngine engine;
  engine.setAttackLength(1);
  engine.setDecayLength(1);
  engine.setReleaseLength(3);
  engine.noteOn(60, 60.0f, 1.0f, 0);
  engine.noteOff(60, 1);
  // Clock 0 attack, 1 decay reaches sustain, 2 enters release, 3 and 4 release, 5 ends.
  for (int clock = 0; clock < 5; ++clock) {
    EXPECT_EQ(engine.soundingVoiceCount(), 1) << "clock " << clock;
    test::renderOneSample(engine, 0.0f);
  }
  EXPECT_EQ(engine.soundingVoiceCount(), 0);
}

}  // namespace
}  // namespace brume
