#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "engine/LowPassFilter.h"

namespace brume {
namespace {

TEST(LowPassFilter, CoefficientsArePolynomialsInTheCutoff) {
  LowPassFilter filter;
  filter.setCutoffResonance(0.5f, 0.5f);
  EXPECT_FLOAT_EQ(filter.cutoffCoefficient(), 0.58f);                   // 0.5 x 1.16
  EXPECT_FLOAT_EQ(filter.feedback(), 2.0f * (1.0f - 0.15f * 0.3364f));  // 4 x 0.5 x (1 - 0.15 x 0.58^2)
  EXPECT_FLOAT_EQ(filter.inputGain(), 0.35013f * 0.11316496f);          // 0.58^4
  EXPECT_EQ(filter.outputGain(), 2.0f);

  filter.setCutoffResonance(0.0f, 1.0f);
  EXPECT_EQ(filter.feedback(), 4.0f);
  EXPECT_EQ(filter.inputGain(), 0.0f);
  EXPECT_EQ(filter.outputGain(), 3.0f);
}

TEST(LowPassFilter, FullCutoffWithoutResonancePassesAConstant) {
  LowPassFilter filter;
  filter.setCutoffResonance(1.0f, 0.0f);
  // Each stage settles at 1.3 / 1.16 of its input; 0.35013 x 1.3^4 = 1.0000063.
  float y = 0.0f;
  for (int i = 0; i < 200; ++i) y = filter.process(0.5f);
  EXPECT_NEAR(y, 0.5f, 1e-5);
}

TEST(LowPassFilter, FirstSamplesFollowTheStageFormula) {
  LowPassFilter filter;
  filter.setCutoffResonance(1.0f, 0.0f);
  const float g = filter.inputGain();
  // Sample 1: a = g, o1 = g, o2 = g, o3 = g, o4 = g.
  EXPECT_FLOAT_EQ(filter.process(1.0f), g);
  // Sample 2: o1 = g + 0.3g - 0.16g = 1.14g; o2 = 1.14g + 0.3g - 0.16g = 1.28g; o3 = 1.42g; o4 = 1.56g.
  EXPECT_NEAR(filter.process(1.0f), 1.56f * g, 1e-6);
}

TEST(LowPassFilter, ZeroCutoffShutsTheInputOutAndGrowsAnyState) {
  LowPassFilter silent;
  silent.setCutoffResonance(0.0f, 0.5f);
  for (int i = 0; i < 1000; ++i) ASSERT_EQ(silent.process(1.0f), 0.0f) << "sample " << i;

  LowPassFilter filter;
  filter.setCutoffResonance(0.5f, 0.0f);
  filter.process(1.0f);
  filter.setCutoffResonance(0.0f, 0.0f);
  float previous = filter.process(-1.0f);
  for (int i = 0; i < 100; ++i) {
    const float y = filter.process(-1.0f);
    ASSERT_GT(y, previous) << "sample " << i;
    previous = y;
  }
}

TEST(LowPassFilter, NonFiniteStateIsClearedToZero) {
  for (float bad : {std::numeric_limits<float>::infinity(), std::nanf("")}) {
    LowPassFilter filter;
    filter.setCutoffResonance(1.0f, 0.0f);
    filter.process(0.5f);
    EXPECT_EQ(filter.process(bad), 0.0f) << bad;
    EXPECT_EQ(filter.process(0.0f), 0.0f) << "state left after " << bad;
    EXPECT_FLOAT_EQ(filter.process(1.0f), filter.inputGain()) << "restart after " << bad;
  }
}

}  // namespace
}  // namespace brume
