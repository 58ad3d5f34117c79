#include <gtest/gtest.h>

#include "OneSample.h"

#include "EngineHarness.h"
#include "engine/EventIntake.h"

namespace brume {
namespace {

using test::EngineHarness;

constexpr std::uint8_t kNoteOn = 0x90;
constexpr std::uint8_t kNoteOff = 0x80;

// Event modulator 1 aimed at "Cutoff" (trunc(55 x 0.9) = 49), bound to key 64 ("E5").
void bindModulatorOneToCutoff(EngineHarness& harness) {
  harness.set(kE1Aim, 0.9f);
  harness.set(kE1Note, 0.5f);
  harness.set(kE1Val, 0.2f);
  harness.set(kE1Rel, 0.7f);
}

TEST(EventIntake, ClassifiesMessagesIgnoringTheChannel) {
  EXPECT_EQ(classifyMidiMessage({0x93, 60, 100, 0, 0}), MidiMessageKind::NoteStart);
  EXPECT_EQ(classifyMidiMessage({0x93, 60, 0, 0, 0}), MidiMessageKind::NoteRelease);
  EXPECT_EQ(classifyMidiMessage({0x8F, 60, 64, 0, 0}), MidiMessageKind::NoteRelease);
  EXPECT_EQ(classifyMidiMessage({0xB5, 126, 0, 0, 0}), MidiMessageKind::EngineReset);
  EXPECT_EQ(classifyMidiMessage({0xB0, 125, 0, 0, 0}), MidiMessageKind::Other);
  EXPECT_EQ(classifyMidiMessage({0x90, 60, 0x80, 0, 0}), MidiMessageKind::NoteRelease);  // velocity masked to 0
}

TEST(EventIntake, NoteStartTakesKeyVelocityAndDetune) {
  EngineHarness harness;
  const MidiMessage message{0x90, 0x80 | 60, 64, -50, 7};
  handleMidiMessage(kModulatorPass, message, harness.engine, harness.values, harness);
  EXPECT_EQ(harness.engine.voice(0).endTime, 0);  // pass 0 starts no voice
  handleMidiMessage(kVoicePass, message, harness.engine, harness.values, harness);
  const Voice& voice = harness.engine.voice(0);
  EXPECT_EQ(voice.note, 60);
  EXPECT_FLOAT_EQ(voice.pitch, 59.5f);
  EXPECT_EQ(voice.velocity, 0.5f);
  EXPECT_EQ(voice.startTime, 7);
  handleMidiMessage(2, message, harness.engine, harness.values, harness);  // no such pass
  EXPECT_EQ(harness.engine.voice(1).endTime, 0);
}

TEST(EventIntake, VelocityZeroReleasesTheKey) {
  EngineHarness harness;
  harness.midi(kNoteOn, 60, 100);
  harness.midi(kNoteOn, 60, 0, 5);
  EXPECT_EQ(harness.engine.voice(0).releaseTime, 5);
  EXPECT_EQ(harness.engine.voice(1).endTime, 0);
}

TEST(EventIntake, ModulatorKeyWritesInPassZeroAndStartsNoVoice) {
  EngineHarness harness;
  bindModulatorOneToCutoff(harness);
  const MidiMessage press{kNoteOn, 64, 100, 0, 0};
  handleMidiMessage(kModulatorPass, press, harness.engine, harness.values, harness);
  ASSERT_EQ(harness.writes.size(), 1u);
  EXPECT_EQ(harness.writes[0], std::make_pair(std::int32_t{kCutoff}, 0.2f));
  EXPECT_EQ(harness.values.get(kCutoff), 0.2f);
  handleMidiMessage(kVoicePass, press, harness.engine, harness.values, harness);
  EXPECT_EQ(harness.writes.size(), 1u);
  EXPECT_EQ(harness.engine.soundingVoiceCount(), 0);

  harness.midi(kNoteOff, 64, 0);
  ASSERT_EQ(harness.writes.size(), 2u);
  EXPECT_EQ(harness.writes[1], std::make_pair(std::int32_t{kCutoff}, 0.7f));
}

TEST(EventIntake, ModulatorWithoutTargetLeavesTheKeyPlayable) {
  for (float aim : {0.99f, 1.0f, -0.5f}) {
    EngineHarness harness;
    bindModulatorOneToCutoff(harness);
    harness.set(kE1Aim, aim);
    harness.midi(kNoteOn, 64, 100);
    harness.midi(kNoteOff, 64, 0);
    EXPECT_TRUE(harness.writes.empty()) << "aim " << aim;
    EXPECT_EQ(harness.engine.voice(0).note, 64) << "aim " << aim;
  }
}

TEST(EventIntake, ModulatorWritesComeBeforeTheNotesOfTheList) {
  EngineHarness harness;
  bindModulatorOneToCutoff(harness);
  harness.set(kE1Aim, 2.5f / 55.0f);  // "Pitch"
  harness.set(kE1Val, 1.0f);          // +24 semitones
  harness.engine.setEngineSampleRate(44000);
  const MidiMessage list[] = {{kNoteOn, 69, 100, 0, 0}, {kNoteOn, 64, 100, 0, 10}};
  for (int pass : {kModulatorPass, kVoicePass}) {
    for (const MidiMessage& message : list) handleMidiMessage(pass, message, harness.engine, harness.values, harness);
  }
  // Key 69 starts after the later modulator key has already transposed by two octaves.
  EXPECT_NEAR(harness.engine.oscillator(0).voiceState(0).targetIncrement, 0.04f, 1e-6);
  EXPECT_EQ(harness.engine.soundingVoiceCount(), 1);
}

TEST(EventIntake, ControllerOneTwentySixResetsTheEngineInEachPass) {
  EngineHarness harness;
  harness.midi(kNoteOn, 60, 100);
  test::renderOneSample(harness.engine, 0.0f);
  const MidiMessage reset{0xB3, 126, 0, 0, 0};
  handleMidiMessage(kModulatorPass, reset, harness.engine, harness.values, harness);
  EXPECT_EQ(harness.engine.engineClock(), 0);
  EXPECT_EQ(harness.engine.soundingVoiceCount(), 0);
  harness.midi(kNoteOn, 62, 100);
  handleMidiMessage(kVoicePass, reset, harness.engine, harness.values, harness);
  EXPECT_EQ(harness.engine.soundingVoiceCount(), 0);
}

}  // namespace
}  // namespace brume
