#include <gtest/gtest.h>

#include "engine/ClassicRandom.h"
#include "engine/SynthEngine.h"

namespace brume {
namespace {

TEST(ClassicRandom, ProducesTheClassicSequenceFromSeedOne) {
  // state 1 x 214013 + 2531011 = 2745024, and 2745024 >> 16 = 41.
  const std::int32_t expected[] = {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464};
  ClassicRandom random;
  for (std::int32_t i = 0; i < 10; ++i) EXPECT_EQ(random.next(), expected[i]) << "draw " << i;
}

TEST(NoiseTables, TableOneHoldsTheFirstDrawsScaledAroundZero) {
  const SynthEngine engine;
  const NoiseTables& tables = engine.oscillator(0).noiseTables();
  // (r - 16383) / 16384 for r = 41, 18467, 6334, 26500.
  EXPECT_EQ(tables.table1[0], -16342.0f / 16384.0f);
  EXPECT_EQ(tables.table1[1], 2084.0f / 16384.0f);
  EXPECT_EQ(tables.table1[2], -10049.0f / 16384.0f);
  EXPECT_EQ(tables.table1[3], 10117.0f / 16384.0f);

  ClassicRandom random;
  for (std::int32_t i = 0; i < kNoiseTableSize; ++i) {
    ASSERT_EQ(tables.table1[i], static_cast<float>(random.next() - 16383) / 16384.0f) << "index " << i;
  }
}

TEST(NoiseTables, TableTwoFlipsAfterEveryValueAboveSevenTenths) {
  const SynthEngine engine;
  const NoiseTables& tables = engine.oscillator(0).noiseTables();
  // Draw 7 is 29358: (29358 - 16383) / 16384 = 0.79 is the first value above 0.7.
  for (std::int32_t i = 0; i < 8; ++i) EXPECT_EQ(tables.table2[i], -1.0f) << "index " << i;
  EXPECT_EQ(tables.table2[8], 1.0f);
  for (std::int32_t i = 1; i < kNoiseTableSize; ++i) {
    const bool flips = tables.table1[i - 1] > 0.7f;
    ASSERT_EQ(tables.table2[i], flips ? -tables.table2[i - 1] : tables.table2[i - 1]) << "index " << i;
  }
}

TEST(NoiseTables, TableThreeRunsStraightBetweenTheFirstAnchors) {
  const SynthEngine engine;
  const NoiseTables& tables = engine.oscillator(0).noiseTables();
  // Anchors 0 and 5: -16342 / 16384 and (15724 - 16383) / 16384 = -659 / 16384.
  EXPECT_EQ(tables.table3[0], tables.table1[0]);
  EXPECT_FLOAT_EQ(tables.table3[2], -10068.8f / 16384.0f);
  EXPECT_EQ(tables.table3[5], tables.table1[5]);
  for (float value : tables.table3) {
    ASSERT_GE(value, -1.0f);
    ASSERT_LE(value, 1.0f);
  }
}

TEST(NoiseTables, EveryEngineMakesTheSameTablesAndEachOscillatorItsOwn) {
  const SynthEngine first;
  const SynthEngine second;
  for (std::int32_t k = 0; k < kOscillatorCount; ++k) {
    const NoiseTables& a = first.oscillator(k).noiseTables();
    const NoiseTables& b = second.oscillator(k).noiseTables();
    for (std::int32_t i = 0; i < kNoiseTableSize; ++i) {
      ASSERT_EQ(a.table1[i], b.table1[i]) << "oscillator " << k << " index " << i;
      ASSERT_EQ(a.table3[i], b.table3[i]) << "oscillator " << k << " index " << i;
    }
  }
  EXPECT_NE(first.oscillator(0).noiseTables().table1[0], first.oscillator(1).noiseTables().table1[0]);
}

}  // namespace
}  // namespace brume
