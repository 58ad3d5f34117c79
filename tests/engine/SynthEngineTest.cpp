#include <gtest/gtest.h>

#include "OneSample.h"

#include <cmath>

#include "engine/SynthEngine.h"

namespace brume {
namespace {

// 440 Hz is key 69; at 44000 samples per second its increment is 0.01 cycles.
constexpr std::int32_t kRate = 44000;

// An engine whose notes reach their sustain level at once and hold it.
void useInstantEnvelope(SynthEngine& engine) {
  engine.setAttackLength(1);
  engine.setDecayLength(1);
  engine.setSustain(1.0f);
}

void holdSixteenNotes(SynthEngine& engine) {
  for (std::int32_t v = 0; v < kVoiceCount; ++v) engine.noteOn(40 + v, 40.0f + v, 0.5f, 0);
}

// The state resetEngine() produces, which construction produces too.
void expectResetState(const SynthEngine& engine, const char* when) {
  const EnvelopeSettings& envelope = engine.envelopeSettings();
  EXPECT_EQ(engine.engineClock(), 0) << when;
  EXPECT_EQ(engine.soundingVoiceCount(), 0) << when;
  EXPECT_EQ(envelope.attackLength.load(), 600) << when;
  EXPECT_EQ(envelope.decayLength.load(), 300) << when;
  EXPECT_EQ(envelope.releaseLength.load(), 10000) << when;
  EXPECT_EQ(envelope.sustainLevel.load(), 0.5f) << when;
  EXPECT_EQ(engine.releasedPitches().count, 0) << when;
  EXPECT_EQ(engine.releasedPitches().lastReleaseTime, -1) << when;
  EXPECT_EQ(engine.engineSampleRate(), 44100) << when;
  EXPECT_FALSE(engine.glideOn()) << when;
  EXPECT_EQ(engine.glideRate(), 0.1f) << when;
  EXPECT_EQ(engine.transpose(), 0.0f) << when;
  for (std::int32_t k = 0; k < kOscillatorCount; ++k) {
    EXPECT_EQ(engine.oscillator(k).level(), 0.7f) << when;
    EXPECT_EQ(engine.oscillator(k).shape(), WaveShape::Sin) << when;
  }
}

TEST(SynthEngine, ConstructionAndResetGiveTheSameSilentState) {
  SynthEngine engine;
  expectResetState(engine, "constructed");
  EXPECT_EQ(engine.oscillator(1).pitchOffset(), 0.0f);
  EXPECT_FALSE(engine.oscillator(1).ringMultiply());

  engine.setOscillatorPitch(1, 7.0f);
  engine.setOscillatorRingMultiply(1, true);
  engine.setOscillatorShape(1, 5);
  engine.setAttackLength(5);
  engine.setTranspose(3.0f);
  engine.setGlideOn(true);
  engine.setEngineSampleRate(kRate);
  engine.noteOn(60, 60.0f, 0.5f, 0);
  engine.noteOff(60, 0);
  test::renderOneSample(engine, 0.0f);
  engine.resetEngine();
  expectResetState(engine, "reset");
  EXPECT_EQ(engine.oscillator(1).pitchOffset(), 7.0f);  // kept, as the ring switch
  EXPECT_TRUE(engine.oscillator(1).ringMultiply());
}

TEST(SynthEngine, IncrementsFollowPitchOffsetTransposeAndSampleRate) {
  SynthEngine engine;
  engine.setEngineSampleRate(kRate);
  engine.setOscillatorPitch(1, 12.0f);
  engine.setTranspose(-12.0f);
  engine.noteOn(81, 81.0f, 0.5f, 0);
  EXPECT_NEAR(engine.oscillator(0).voiceState(0).targetIncrement, 0.01f, 1e-7);  // 880 Hz an octave down
  EXPECT_NEAR(engine.oscillator(1).voiceState(0).targetIncrement, 0.02f, 1e-7);
  EXPECT_EQ(engine.oscillator(1).voiceState(0).increment, engine.oscillator(1).voiceState(0).targetIncrement);
  EXPECT_EQ(engine.oscillator(1).voiceState(0).phase, 0.0f);
}

TEST(SynthEngine, VoiceChoiceTakesTheEarliestEndLowestFirst) {
  SynthEngine engine;
  engine.noteOn(60, 60.0f, 0.5f, 0);
  engine.noteOn(61, 61.0f, 0.5f, 0);
  EXPECT_EQ(engine.voice(0).note, 60);
  EXPECT_EQ(engine.voice(1).note, 61);

  SynthEngine full;
  holdSixteenNotes(full);
  full.noteOn(70, 70.0f, 0.5f, 0);
  full.noteOn(71, 71.0f, 0.5f, 0);
  EXPECT_EQ(full.voice(0).note, 71);  // all held: voice 0 every time
  EXPECT_EQ(full.voice(1).note, 41);
}

TEST(SynthEngine, VoiceChoicePrefersTheReleaseThatEndsFirst) {
  for (bool sameInstant : {false, true}) {
    SynthEngine engine;
    useInstantEnvelope(engine);
    holdSixteenNotes(engine);
    engine.noteOff(45, sameInstant ? 0 : 2);  // voice 5
    engine.noteOff(49, 0);                    // voice 9
    for (int i = 0; i < 4; ++i) test::renderOneSample(engine, 0.0f);
    engine.noteOn(80, 80.0f, 0.5f, 0);
    EXPECT_EQ(engine.voice(sameInstant ? 5 : 9).note, 80) << (sameInstant ? "tie" : "earlier end");
  }
}

TEST(SynthEngine, ReleaseListCollectsOneInstantUpToFifteenPitches) {
  SynthEngine engine;
  holdSixteenNotes(engine);
  for (std::int32_t v = 0; v < kVoiceCount; ++v) engine.noteOff(40 + v, 3);
  EXPECT_EQ(engine.releasedPitches().count, 15);
  EXPECT_EQ(engine.releasedPitches().lastReleaseTime, 3);
  EXPECT_EQ(engine.releasedPitches().releasedPitches[14], 54.0f);

  engine.noteOn(60, 60.0f, 0.5f, 0);
  engine.noteOff(60, 4);  // one sample later: the list starts again
  EXPECT_EQ(engine.releasedPitches().count, 1);
  EXPECT_EQ(engine.releasedPitches().releasedPitches[0], 60.0f);

  engine.noteOff(99, 5);  // no voice has key 99: nothing recorded
  EXPECT_EQ(engine.releasedPitches().count, 1);
  EXPECT_EQ(engine.releasedPitches().lastReleaseTime, 4);
}

TEST(SynthEngine, OneReleaseEndsEveryVoiceOfTheKey) {
  SynthEngine engine;
  engine.noteOn(60, 60.0f, 0.5f, 0);
  engine.noteOn(60, 60.5f, 0.5f, 0);
  engine.noteOff(60, 2);
  EXPECT_EQ(engine.voice(0).releaseTime, 2);
  EXPECT_EQ(engine.voice(1).releaseTime, 2);
  EXPECT_EQ(engine.releasedPitches().count, 1);
  EXPECT_EQ(engine.releasedPitches().releasedPitches[0], 60.5f);  // the last voice's pitch
}

// Starts a glide to key `to` after releasing `from` together; returns the start increment.
float glideStartIncrement(std::initializer_list<std::int32_t> from, std::int32_t to) {
  SynthEngine engine;
  engine.setEngineSampleRate(kRate);
  engine.setGlideOn(true);
  for (std::int32_t key : from) engine.noteOn(key, static_cast<float>(key), 0.5f, 0);
  for (std::int32_t key : from) engine.noteOff(key, 0);
  engine.noteOn(to, static_cast<float>(to), 0.5f, 0);
  return engine.oscillator(0).voiceState(static_cast<std::int32_t>(from.size())).increment;
}

float incrementOfKey(std::int32_t key) { return static_cast<float>(440.0 * std::pow(2.0, (key - 69) / 12.0) / kRate); }

TEST(SynthEngine, GlideStartsFromTheNearestReleasedPitch) {
  EXPECT_NEAR(glideStartIncrement({60, 67}, 64), incrementOfKey(67), 1e-7);  // 3 apart beats 4 apart
  EXPECT_NEAR(glideStartIncrement({60, 68}, 64), incrementOfKey(60), 1e-7);  // a tie: the earlier entry
}

TEST(SynthEngine, GlideApproachesTheTargetByTheRatePerSample) {
  SynthEngine engine;
  engine.setEngineSampleRate(kRate);
  engine.setGlideOn(true);
  engine.setGlideRate(0.5f);
  engine.noteOn(69, 69.0f, 0.5f, 0);
  engine.noteOff(69, 0);
  engine.noteOn(81, 81.0f, 0.5f, 0);  // voice 1, from 0.01 toward 0.02
  const OscillatorVoiceState& state = engine.oscillator(0).voiceState(1);
  EXPECT_NEAR(state.increment, 0.01f, 1e-7);
  test::renderOneSample(engine, 0.0f);
  EXPECT_NEAR(state.phase, 0.01f, 1e-7);  // the phase moves by the old increment
  EXPECT_NEAR(state.increment, 0.015f, 1e-7);
  test::renderOneSample(engine, 0.0f);
  EXPECT_NEAR(state.increment, 0.0175f, 1e-7);

  engine.setGlideOn(false);  // frozen where it is
  test::renderOneSample(engine, 0.0f);
  EXPECT_NEAR(state.increment, 0.0175f, 1e-7);
}

TEST(SynthEngine, OscillatorPitchRetunesSoundingVoicesOnly) {
  SynthEngine engine;
  engine.setEngineSampleRate(kRate);
  engine.noteOn(69, 69.0f, 0.5f, 0);
  engine.noteOn(69, 69.0f, 0.5f, 10);  // starts later in the block
  engine.setOscillatorPitch(2, 12.0f);
  EXPECT_NEAR(engine.oscillator(2).voiceState(0).increment, 0.02f, 1e-7);
  EXPECT_NEAR(engine.oscillator(2).voiceState(0).targetIncrement, 0.02f, 1e-7);
  EXPECT_NEAR(engine.oscillator(2).voiceState(1).increment, 0.01f, 1e-7);
  EXPECT_NEAR(engine.oscillator(1).voiceState(0).increment, 0.01f, 1e-7);
  engine.setOscillatorPitch(5, 12.0f);  // no such oscillator
}

TEST(SynthEngine, PhaseWrapsBelowOneForIncrementsAboveOne) {
  SynthEngine engine;
  engine.setEngineSampleRate(176);  // 440 Hz gives 2.5 cycles per sample
  engine.noteOn(69, 69.0f, 0.5f, 0);
  for (int i = 0; i < 3; ++i) {
    test::renderOneSample(engine, 0.0f);
    const float phase = engine.oscillator(0).voiceState(0).phase;
    EXPECT_NEAR(phase, i % 2 == 0 ? 0.5f : 0.0f, 1e-4) << "sample " << i;
    EXPECT_LT(phase, 1.0f);
  }
}

TEST(SynthEngine, UnusableSampleRatesGiveSilenceNotNonsense) {
  for (std::int32_t rate : {0, -44100}) {
    SynthEngine engine;
    engine.setEngineSampleRate(rate);
    engine.noteOn(69, 69.0f, 1.0f, 0);
    EXPECT_EQ(engine.oscillator(0).voiceState(0).increment, 0.0f) << "rate " << rate;
    for (int i = 0; i < 10; ++i) EXPECT_TRUE(std::isfinite(test::renderOneSample(engine, 0.0f))) << "rate " << rate;
  }
}

TEST(SynthEngine, InputJoinsOnlyTheFirstSoundingVoice) {
  SynthEngine engine;
  EXPECT_EQ(test::renderOneSample(engine, 0.5f), 0.0f);  // no voice: the input is not passed through

  useInstantEnvelope(engine);
  for (std::int32_t k = 0; k < kOscillatorCount; ++k) engine.setOscillatorLevel(k, 0.0f);
  engine.noteOn(60, 60.0f, 1.0f, 0);
  engine.noteOn(64, 64.0f, 1.0f, 0);
  EXPECT_EQ(test::renderOneSample(engine, 0.5f), 0.5f);

  // Oscillator 1 multiplying by its square wave (+1 at phase 0) at level 0.5 halves
  // the input of the first voice; the second voice's chain starts from 0.
  engine.setOscillatorShape(0, static_cast<std::int32_t>(WaveShape::Square));
  engine.setOscillatorLevel(0, 0.5f);
  engine.setOscillatorRingMultiply(0, true);
  EXPECT_EQ(test::renderOneSample(engine, 0.5f), 0.25f);
}

}  // namespace
}  // namespace brume
