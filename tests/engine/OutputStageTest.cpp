#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "engine/FlushDenormals.h"
#include "engine/OutputStage.h"

namespace brume {
namespace {

TEST(OutputStage, GainsFromVolumePanAndComp) {
  const OutputGains gains = outputGainsFor(0.8f, 0.25f, 0.25f);
  EXPECT_EQ(gains.left, 0.6f);
  EXPECT_EQ(gains.right, 0.2f);
  EXPECT_EQ(gains.innerSlope, 1.0f);
  EXPECT_FLOAT_EQ(gains.outerSlope, 1.0f);  // 0.75 x 1.3333334
}

TEST(OutputStage, ShaperIsTheIdentityAtAQuarterAndFixesPlusMinusOne) {
  const OutputGains quarter = outputGainsFor(1.0f, 0.5f, 0.25f);
  for (float s : {-1.0f, -0.6f, -0.25f, 0.1f, 0.25f, 0.6f, 1.0f}) {
    EXPECT_NEAR(shapeSample(s, quarter), s, 1e-6) << s;
  }
  for (float comp : {0.0f, 0.51f, 1.0f}) {
    const OutputGains gains = outputGainsFor(1.0f, 0.5f, comp);
    EXPECT_NEAR(shapeSample(1.0f, gains), 1.0f, 1e-6) << comp;
    EXPECT_NEAR(shapeSample(-1.0f, gains), -1.0f, 1e-6) << comp;
  }
}

TEST(OutputStage, ShaperAmplifiesOrSilencesTheMiddleBand) {
  const OutputGains nearHalf = outputGainsFor(1.0f, 0.5f, 0.51f);
  EXPECT_FLOAT_EQ(shapeSample(0.1f, nearHalf), 0.204f);  // 2.04 x
  EXPECT_FLOAT_EQ(shapeSample(-0.1f, nearHalf), -0.204f);
  // Continuous at 0.25: both pieces give 0.51.
  EXPECT_FLOAT_EQ(shapeSample(0.25f, nearHalf), 0.51f);
  EXPECT_FLOAT_EQ(shapeSample(0.25000003f, nearHalf), 0.51f);
  EXPECT_FLOAT_EQ(shapeSample(0.28f, nearHalf), 0.5296f);  // (0.28 - 1) x 0.49 x 4 / 3 + 1
  EXPECT_FLOAT_EQ(shapeSample(-0.28f, nearHalf), -0.5296f);

  const OutputGains expander = outputGainsFor(1.0f, 0.5f, 0.0f);
  EXPECT_EQ(shapeSample(0.2f, expander), 0.0f);
  EXPECT_FLOAT_EQ(shapeSample(0.5f, expander), 1.0f / 3.0f);  // (0.5 - 1) x 4 / 3 + 1

  const OutputGains clipper = outputGainsFor(1.0f, 0.5f, 1.0f);
  EXPECT_EQ(shapeSample(0.5f, clipper), 1.0f);
  EXPECT_EQ(shapeSample(0.2f, clipper), 0.8f);
}

TEST(OutputStage, LimitHoldsPointNineNineAndMendsNotANumber) {
  EXPECT_EQ(limitOutput(3.0f), 0.99000001f);
  EXPECT_EQ(limitOutput(-3.0f), -0.99000001f);
  EXPECT_EQ(limitOutput(0.9f + 0.5f), 0.99f);
  EXPECT_EQ(limitOutput(0.5f), 0.5f);
  EXPECT_EQ(limitOutput(std::numeric_limits<float>::infinity()), 0.99f);
  EXPECT_EQ(limitOutput(std::nanf("")), 0.0f);
}

#if BRUME_HAS_MXCSR
TEST(FlushDenormals, FlushesInsideTheScopeAndRestoresTheModeAfter) {
  volatile float tiny = 1e-30f;
  volatile float scale = 1e-10f;
  const unsigned int before = _mm_getcsr();
  {
    const ScopedFlushDenormals guard;
    EXPECT_EQ(tiny * scale, 0.0f);
  }
  EXPECT_EQ(_mm_getcsr(), before);
  EXPECT_GT(tiny * scale, 0.0f);
}
#endif

}  // namespace
}  // namespace brume
