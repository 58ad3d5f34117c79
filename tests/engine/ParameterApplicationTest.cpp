#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "EngineHarness.h"
#include "engine/ParameterApplication.h"

namespace brume {
namespace {

using test::EngineHarness;

TEST(ParameterApplication, PitchBecomesWholeSemitonesOfTranspose) {
  EngineHarness harness;
  const std::pair<float, float> cases[] = {{0.49f, 0.0f}, {0.47f, -1.0f}, {1.0f, 24.0f}, {0.0f, -24.0f}, {2.0f, 72.0f}};
  for (const auto& [value, semitones] : cases) {
    harness.set(kPitch, value);
    EXPECT_EQ(harness.engine.transpose(), semitones) << "Pitch " << value;
  }
}

TEST(ParameterApplication, ShapesAreClampedThenQuantised) {
  EngineHarness harness;
  const std::pair<float, WaveShape> cases[] = {{0.0f, WaveShape::Sin},   {0.1f, WaveShape::Sinsaw},
                                               {0.5f, WaveShape::Sin12}, {1.0f, WaveShape::Noise3},
                                               {-3.0f, WaveShape::Sin},  {7.0f, WaveShape::Noise3}};
  for (const auto& [value, shape] : cases) {
    harness.set(kO2Shape, value);
    EXPECT_EQ(harness.engine.oscillator(1).shape(), shape) << "O2-Shape " << value;
  }
  EXPECT_EQ(shapeFromValue(std::nanf("")), 0);
}

TEST(ParameterApplication, EnvelopeLengthsAreOneSampleLongerThanShown) {
  EngineHarness harness;
  const EnvelopeSettings& envelope = harness.engine.envelopeSettings();
  harness.set(kAttack, 0.0f);
  harness.set(kDecay, 0.0f);
  harness.set(kRelease, 0.0f);
  EXPECT_EQ(envelope.attackLength.load(), 1);
  EXPECT_EQ(envelope.decayLength.load(), 1);
  EXPECT_EQ(envelope.releaseLength.load(), 1);
  harness.set(kAttack, 1.0f);
  harness.set(kDecay, 1.0f);
  harness.set(kRelease, 1.0f);
  EXPECT_EQ(envelope.attackLength.load(), 20001);
  EXPECT_EQ(envelope.decayLength.load(), 10001);
  EXPECT_EQ(envelope.releaseLength.load(), 100001);
  harness.set(kAttack, 0.1f);  // the default shows "200"
  EXPECT_EQ(envelope.attackLength.load(), 201);
  harness.set(kRelease, 1e30f);  // absurd host values saturate instead of overflowing
  EXPECT_EQ(envelope.releaseLength.load(), std::numeric_limits<std::int32_t>::max());
}

TEST(ParameterApplication, OscillatorPitchCombinesBothKnobsOfThePair) {
  EngineHarness harness;
  harness.set(kO3Pitch, 0.75f);  // +12
  EXPECT_EQ(harness.engine.oscillator(2).pitchOffset(), 12.0f);
  harness.set(kO3SubP, 0.25f);  // -0.5
  EXPECT_EQ(harness.engine.oscillator(2).pitchOffset(), 11.5f);
  EXPECT_EQ(harness.engine.oscillator(1).pitchOffset(), -12.0f);  // O2-Pitch default 0.25
}

TEST(ParameterApplication, LevelsAndRingSwitchesComeFromTheStoredValues) {
  EngineHarness harness;
  EXPECT_TRUE(harness.engine.oscillator(1).ringMultiply());  // "Osc2" default 1.0
  EXPECT_EQ(harness.engine.oscillator(2).level(), 0.4f);
  harness.set(kOsc3, 0.5f);  // not above 0.5
  EXPECT_FALSE(harness.engine.oscillator(2).ringMultiply());
  harness.set(kOsc3, 0.51f);
  EXPECT_TRUE(harness.engine.oscillator(2).ringMultiply());
  harness.set(kO1Vol, 0.3f);
  EXPECT_EQ(harness.engine.oscillator(0).level(), 0.3f);
}

TEST(ParameterApplication, LfoPeriodsAimsAndRanges) {
  EngineHarness harness;  // 120 beats per minute at 44100: 22050 samples per beat
  EXPECT_EQ(beatSamplesFor(120.0f, 44100.0f), 22050.0f);
  harness.set(kL2Per, 0.0f);
  EXPECT_EQ(harness.lfos[1].period(), 2756.25f);  // an eighth of a beat
  harness.set(kL1Per, 0.5f);
  EXPECT_EQ(harness.lfos[0].period(), 176400.0f);  // 8 beats

  harness.sampleCounter = 1000;
  harness.sampleRate = 48000.5f;
  harness.set(kL2Aim, 0.3f);
  EXPECT_EQ(harness.lfos[1].holdUntil(), 49000);
  EXPECT_EQ(harness.lfos[0].holdUntil(), 44100);  // from construction, untouched

  harness.set(kL1Min, 0.2f);
  harness.set(kL1Max, 0.7f);
  EXPECT_EQ(harness.lfos[0].minimum(), 0.2f);
  EXPECT_EQ(harness.lfos[0].maximum(), 0.7f);
}

TEST(ParameterApplication, FilterGlideAndTheRowsWithoutEffect) {
  EngineHarness harness;
  harness.set(kCutoff, 1.0f);
  EXPECT_FLOAT_EQ(harness.filter.cutoffCoefficient(), 1.16f);
  EXPECT_FLOAT_EQ(harness.filter.outputGain(), 2.6f);  // with "Res" at its default 0.8
  harness.set(kRes, 0.0f);
  EXPECT_FLOAT_EQ(harness.filter.cutoffCoefficient(), 1.16f);
  EXPECT_EQ(harness.filter.outputGain(), 1.0f);

  harness.set(kGlide, 0.5f);
  EXPECT_TRUE(harness.engine.glideOn());
  harness.set(kGlide, 0.49f);
  EXPECT_FALSE(harness.engine.glideOn());
  harness.set(kGWet, 0.0f);
  EXPECT_NEAR(harness.engine.glideRate(), 0.0033554432f, 1e-9);  // 0.32^5
  harness.set(kGWet, 1.0f);
  EXPECT_EQ(harness.engine.glideRate(), 0.00001f);
  harness.set(kGWet, -100.0f);
  EXPECT_EQ(harness.engine.glideRate(), 0.9999f);

  // Indexes outside 0 to 53 must touch nothing (the sanitizer builds watch this).
  applyParameter(-1, 0.3f, {harness.engine, harness.lfos, harness.filter, harness.values, 1.0f, 0, 1.0f});
  applyParameter(54, 0.3f, {harness.engine, harness.lfos, harness.filter, harness.values, 1.0f, 0, 1.0f});
}

}  // namespace
}  // namespace brume
