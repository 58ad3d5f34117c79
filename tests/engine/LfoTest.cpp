#include <gtest/gtest.h>

#include "EngineHarness.h"
#include "engine/Lfo.h"
#include "engine/LfoModulation.h"
#include "engine/ModulationTargets.h"

namespace brume {
namespace {

using test::EngineHarness;

// A period of 128 samples keeps every phase below exact in binary.
void usePeriod128(Lfo& lfo) {
  ASSERT_EQ(lfo.period(), 10000.0f);  // as constructed
  ASSERT_EQ(lfo.rate(), 0.0001f);
  lfo.setPeriod(128.0f);
  ASSERT_EQ(lfo.rate(), 1.0f / 128.0f);
  ASSERT_EQ(lfo.phaseOffset(), 0.0f);  // from the last phase 0 of construction
}

TEST(Lfo, TriangleRisesOverTheFirstHalfAndFallsOverTheSecond) {
  Lfo lfo;
  usePeriod128(lfo);
  lfo.setMinimum(0.2f);
  lfo.setMaximum(0.6f);
  EXPECT_FLOAT_EQ(lfo.valueAt(0), 0.2f);
  EXPECT_FLOAT_EQ(lfo.valueAt(32), 0.4f);
  EXPECT_FLOAT_EQ(lfo.valueAt(64), 0.6f);
  EXPECT_FLOAT_EQ(lfo.valueAt(96), 0.4f);
  EXPECT_FLOAT_EQ(lfo.valueAt(128 + 16), 0.3f);
  EXPECT_EQ(lfo.lastPhase(), 0.125f);

  lfo.setMinimum(1.0f);  // minimum above maximum: inverted
  lfo.setMaximum(0.0f);
  EXPECT_FLOAT_EQ(lfo.valueAt(32), 0.5f);
  EXPECT_FLOAT_EQ(lfo.valueAt(64), 0.0f);
}

TEST(Lfo, NewPeriodKeepsThePhaseReached) {
  Lfo lfo;
  usePeriod128(lfo);
  lfo.valueAt(32);  // phase 0.25
  lfo.setPeriod(256.0f);
  EXPECT_EQ(lfo.phaseOffset(), 32.0f);  // 256 x 0.25 - (128 x 0.25 - 0)
  EXPECT_FLOAT_EQ(lfo.valueAt(32), 0.5f);
  EXPECT_FLOAT_EQ(lfo.valueAt(32 + 64), 1.0f);  // a quarter of the new period later

  for (float unusable : {0.0f, -5.0f, std::numeric_limits<float>::infinity(), std::nanf("")}) {
    lfo.setPeriod(unusable);
    EXPECT_EQ(lfo.period(), 256.0f) << unusable;
    EXPECT_EQ(lfo.phaseOffset(), 32.0f) << unusable;
  }
}

TEST(Lfo, SyncContinuesFromTheValueInTheSameDirection) {
  Lfo lfo;
  usePeriod128(lfo);
  lfo.valueAt(32);  // rising, phase 0.25
  lfo.syncTo(0.75f);
  EXPECT_EQ(lfo.phaseOffset(), 16.0f);  // 128 x 0.375 - 128 x 0.25
  EXPECT_FLOAT_EQ(lfo.valueAt(32), 0.75f);
  EXPECT_FLOAT_EQ(lfo.valueAt(40), 0.875f);

  lfo.valueAt(80);  // falling, phase 0.75
  lfo.syncTo(0.75f);
  EXPECT_FLOAT_EQ(lfo.valueAt(80), 0.75f);
  EXPECT_FLOAT_EQ(lfo.valueAt(88), 0.625f);  // still falling
  lfo.syncTo(-1.0f);                         // limited to the minimum, the end of the falling half
  EXPECT_FLOAT_EQ(lfo.valueAt(88), 0.0f);
  EXPECT_FLOAT_EQ(lfo.valueAt(96), 0.125f);

  const float offset = lfo.phaseOffset();
  lfo.syncTo(std::nanf(""));
  EXPECT_EQ(lfo.phaseOffset(), offset);
  lfo.setMinimum(0.5f);
  lfo.setMaximum(0.5f);
  lfo.syncTo(0.1f);  // minimum equal to maximum: nothing moves
  EXPECT_EQ(lfo.phaseOffset(), offset);
  EXPECT_EQ(lfo.valueAt(0), 0.5f);
}

TEST(LfoModulation, TickWritesActiveLfosToTheirTargets) {
  EngineHarness harness;
  harness.set(kL1Aim, 0.5f);  // slot 23: "LFO2"
  harness.set(kL2Aim, 0.0f);  // "Volume"
  harness.set(kLfo1, 1.0f);
  harness.set(kLfo2, 1.0f);
  harness.lfos[0].setHoldUntil(0);
  harness.lfos[1].setHoldUntil(0);
  harness.writes.clear();

  runLfoTick(harness.lfos, harness.values, 0, harness);  // not past the hold
  EXPECT_TRUE(harness.writes.empty());
  harness.lfos[0].setMinimum(0.25f);
  harness.lfos[0].setMaximum(0.25f);
  runLfoTick(harness.lfos, harness.values, 100, harness);
  ASSERT_EQ(harness.writes.size(), 1u) << "LFO 1 switches LFO 2 off before LFO 2 runs";
  EXPECT_EQ(harness.writes[0], std::make_pair(std::int32_t{kLfo2}, 0.25f));

  harness.set(kL1Aim, 1.0f);                      // slot 46: no target
  EXPECT_EQ(harness.lfos[0].holdUntil(), 44100);  // one second of samples from counter 0
  runLfoTick(harness.lfos, harness.values, 44101, harness);
  EXPECT_EQ(harness.writes.size(), 1u);

  harness.set(kL1Aim, 0.0f);
  runLfoTick(harness.lfos, harness.values, 44100, harness);
  EXPECT_EQ(harness.writes.size(), 1u);
  runLfoTick(harness.lfos, harness.values, 44101, harness);
  ASSERT_EQ(harness.writes.size(), 2u);
  EXPECT_EQ(harness.writes[1], std::make_pair(std::int32_t{kVolume}, 0.25f));
}

TEST(LfoModulation, ResyncFollowsTheTargetOnlyWhenAsked) {
  EngineHarness harness;
  harness.set(kLfo1, 1.0f);
  harness.lfos[0].setHoldUntil(0);
  harness.lfos[0].setPeriod(128.0f);
  harness.lfos[0].valueAt(32);  // rising at 0.5, aimed at "Volume"
  harness.set(kVolume, 0.75f);

  resyncLfos(harness.lfos, harness.values, 100, kPan);
  EXPECT_FLOAT_EQ(harness.lfos[0].valueAt(32), 0.5f);
  resyncLfos(harness.lfos, harness.values, 100, kVolume);
  EXPECT_FLOAT_EQ(harness.lfos[0].valueAt(32), 0.75f);
  harness.set(kVolume, 0.25f);
  resyncLfos(harness.lfos, harness.values, 100, kNoTarget);
  EXPECT_FLOAT_EQ(harness.lfos[0].valueAt(32), 0.25f);
}

}  // namespace
}  // namespace brume
