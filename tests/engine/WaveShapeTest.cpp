#include <gtest/gtest.h>

#include "engine/SynthEngine.h"
#include "engine/WaveShape.h"

namespace brume {
namespace {

TEST(WaveShape, ValuesAtQuarterPhases) {
  const SynthEngine engine;
  const NoiseTables& noise = engine.oscillator(0).noiseTables();
  const float phases[] = {0.0f, 0.125f, 0.25f, 0.5f, 0.75f};
  const float r = 0.70710678f;  // sin(pi / 4)
  struct Row {
    WaveShape shape;
    float expected[5];
  };
  const Row rows[] = {
      {WaveShape::Sin, {0.0f, r, 1.0f, 0.0f, -1.0f}},
      {WaveShape::Sinsaw, {0.0f, 0.25f + 0.5f * r, 1.0f, 0.0f, -1.0f}},
      {WaveShape::Saw, {0.0f, 0.5f, 1.0f, 0.0f, -1.0f}},
      {WaveShape::Ramp, {0.0f, 0.25f, 0.5f, 1.0f, -0.5f}},
      {WaveShape::SawSqu, {0.5f, 0.75f, 1.0f, -0.5f, -1.0f}},
      {WaveShape::Square, {1.0f, 1.0f, 1.0f, -1.0f, -1.0f}},
      {WaveShape::SinSqu, {0.5f, 0.5f + 0.5f * r, 1.0f, -0.5f, -1.0f}},
      {WaveShape::Sin12, {0.0f, (r + 1.0f) / 2.0f, 0.5f, 0.0f, -0.5f}},
      {WaveShape::Sin123, {0.0f, (r + 1.0f + r) / 3.0f, 0.0f, 0.0f, 0.0f}},
      {WaveShape::Sin124, {0.0f, (r + 1.0f) / 3.0f, 1.0f / 3.0f, 0.0f, -1.0f / 3.0f}},
      {WaveShape::AbsSin, {-1.0f, 2.0f * r - 1.0f, 1.0f, -1.0f, 1.0f}},
      {WaveShape::Noise, {noise.table1[0], noise.table1[128], noise.table1[256], noise.table1[512], noise.table1[768]}},
      {WaveShape::Noise2,
       {noise.table2[0], noise.table2[128], noise.table2[256], noise.table2[512], noise.table2[768]}},
      {WaveShape::Noise3,
       {noise.table3[0], noise.table3[128], noise.table3[256], noise.table3[512], noise.table3[768]}},
  };
  for (const Row& row : rows) {
    for (int i = 0; i < 5; ++i) {
      EXPECT_NEAR(waveValue(row.shape, phases[i], noise), row.expected[i], 1e-6)
          << "shape " << static_cast<int>(row.shape) << " at phase " << phases[i];
    }
  }
}

TEST(WaveShape, EdgesOfThePiecewiseShapes) {
  const SynthEngine engine;
  const NoiseTables& noise = engine.oscillator(0).noiseTables();
  const float justBelowHalf = 0.49999997f;
  EXPECT_EQ(waveValue(WaveShape::Square, justBelowHalf, noise), 1.0f);
  EXPECT_NEAR(waveValue(WaveShape::Ramp, 0.50000006f, noise), -1.0f, 1e-6);  // jumps at 0.5
  EXPECT_EQ(waveValue(WaveShape::Noise, 0.99999994f, noise), noise.table1[1023]);
  EXPECT_EQ(waveValue(static_cast<WaveShape>(14), 0.25f, noise), 0.0f);
  EXPECT_EQ(waveValue(static_cast<WaveShape>(-1), 0.25f, noise), 0.0f);
}

}  // namespace
}  // namespace brume
