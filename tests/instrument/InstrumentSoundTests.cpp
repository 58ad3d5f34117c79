// The instrument driving its engine: parameters, events and blocks as a host sends them.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "engine/ModulationTargets.h"
#include "tests/instrument/InstrumentFixture.h"
#include "tests/support/MidiEvents.h"

namespace brume {
namespace {

class Sound : public ::testing::Test, protected test::InstrumentFixture {
 protected:
  void send(const std::vector<VstMidiEvent>& events) {
    test::MidiEventList list(events);
    call(25, 0, 0, list.list());
  }
  // Renders `frames` samples with the replacing entry; returns the left channel.
  std::vector<float> render(VstInt32 frames, float** inputs = nullptr) {
    std::vector<float> left(frames, 7.0f), right(frames, 7.0f);
    float* outputs[] = {left.data(), right.data()};
    AEffect* r = instrument->record();
    r->processReplacing(r, inputs, outputs, frames);
    lastRight = right;
    return left;
  }
  static float peak(const std::vector<float>& samples) {
    float p = 0.0f;
    for (float s : samples) p = std::max(p, std::fabs(s));
    return p;
  }
  std::vector<float> lastRight;
};

TEST_F(Sound, SampleRateReachesTheEngineAsAWholeNumber) {
  call(10, 0, 0, nullptr, 44100.7f);
  EXPECT_EQ(instrument->sampleRateValue(), 44100.7f);
  EXPECT_EQ(instrument->synthEngine().engineSampleRate(), 44100);
  call(10, 0, 0, nullptr, 48000.0f);
  EXPECT_EQ(instrument->synthEngine().engineSampleRate(), 48000);
  call(43, 0, 64, nullptr, 96000.0f);
  EXPECT_EQ(instrument->sampleRateValue(), 96000.0f);
  EXPECT_EQ(instrument->synthEngine().engineSampleRate(), 48000) << "opcode 43 bypasses changeSampleRate";
}

TEST_F(Sound, EveryParameterChangeAsksTheTempo) {
  host.clear();
  instrument->setParameter(kE3Aim, 0.5f);
  EXPECT_EQ(host.count(kHostTempoAt), 1);
  EXPECT_EQ(instrument->program(0)->values.get(kE3Aim), 0.5f);
  host.answer(kHostTempoAt, 900000);  // 90 BPM
  instrument->setParameter(kL1Per, 0.5f);
  EXPECT_FLOAT_EQ(instrument->hostTempo(), 90.0f);
  EXPECT_FLOAT_EQ(instrument->lfo(0).period(), 8.0f * 60.0f / 90.0f * 44100.0f);
}

TEST_F(Sound, TempoZeroOrNoCallbackKeepsTheLastValidTempo) {
  host.answer(kHostTempoAt, 0);
  instrument->setParameter(kL1Per, 0.5f);
  EXPECT_FLOAT_EQ(instrument->hostTempo(), 120.0f);
  EXPECT_FLOAT_EQ(instrument->lfo(0).period(), 176400.0f);
  host.answer(kHostTempoAt, 1400000);
  instrument->setParameter(kL2Per, 0.0f);
  host.answer(kHostTempoAt, 0);
  instrument->setParameter(kL2Per, 0.0f);
  EXPECT_FLOAT_EQ(instrument->hostTempo(), 140.0f);

  Instrument alone(nullptr);
  alone.setParameter(kL1Per, 0.0f);
  EXPECT_TRUE(std::isfinite(alone.lfo(0).period()));
  EXPECT_FLOAT_EQ(alone.lfo(0).period(), 0.125f * 22050.0f);
}

TEST_F(Sound, ANoteSoundsAndEndsAfterItsRelease) {
  call(12, 0, 1);
  EXPECT_EQ(peak(render(512)), 0.0f) << "silence before any note";
  send({test::midiEvent(0x90, 60, 100)});
  EXPECT_GT(peak(render(2048)), 0.05f);
  EXPECT_EQ(instrument->synthEngine().soundingVoiceCount(), 1);
  send({test::midiEvent(0x90, 60, 0)});  // velocity 0 releases
  render(44100 / 4);                     // release of 9001 samples at the default 0.3
  EXPECT_EQ(instrument->synthEngine().soundingVoiceCount(), 0);
  EXPECT_EQ(peak(render(512)), 0.0f);
}

TEST_F(Sound, EventModulatorWritesItsTargetInsteadOfPlaying) {
  instrument->setParameter(kE1Aim, 49.5f / 55.0f);    // Cutoff
  instrument->setParameter(kE1Note, 60.5f / 128.0f);  // key 60
  instrument->setParameter(kE1Val, 0.25f);
  instrument->setParameter(kE1Rel, 0.75f);
  host.clear();
  send({test::midiEvent(0x90, 60, 100), test::midiEvent(0x90, 64, 100)});
  EXPECT_EQ(instrument->getParameter(kCutoff), 0.25f);
  EXPECT_EQ(instrument->program(0)->values.get(kCutoff), 0.25f) << "modulator writes are recorded";
  EXPECT_EQ(host.count(kHostAutomate), 0) << "the host is not told";
  render(64);
  EXPECT_EQ(instrument->synthEngine().soundingVoiceCount(), 1) << "only key 64 plays";
  send({test::midiEvent(0x80, 60, 0)});
  EXPECT_EQ(instrument->getParameter(kCutoff), 0.75f);
}

TEST_F(Sound, TraceLinesForEventsAndNotes) {
  struct Sink : TraceSink {
    void write(const char* line) override { lines.emplace_back(line); }
    std::vector<std::string> lines;
  } sink;
  instrument->setTraceSink(&sink);
  send({test::midiEvent(0x90, 60, 100), test::midiEvent(0x80, 60, 0)});
  instrument->setTraceSink(nullptr);
  const std::vector<std::string> expected = {"Event : type 1 (stay : 1)\n", "Note In\n", "Event : type 1 (stay : 0)\n",
                                             "Note Out\n"};
  ASSERT_EQ(sink.lines.size(), 8u) << "two passes";
  for (size_t i = 0; i < 8; ++i) EXPECT_EQ(sink.lines[i], expected[i % 4]) << i;
}

TEST_F(Sound, MalformedEventListsAreSafe) {
  EXPECT_EQ(call(25, 0, 0, nullptr), 1);
  VstEvents empty{};
  empty.numEvents = -5;
  EXPECT_EQ(call(25, 0, 0, &empty), 1);
  VstEvents holes{};
  holes.numEvents = 2;
  holes.events[0] = nullptr;
  holes.events[1] = nullptr;
  EXPECT_EQ(call(25, 0, 0, &holes), 1);
  VstEvent other{};
  other.type = 2;  // not MIDI
  holes.numEvents = 1;
  holes.events[0] = &other;
  EXPECT_EQ(call(25, 0, 0, &holes), 1);
  render(64);
  EXPECT_EQ(instrument->synthEngine().soundingVoiceCount(), 0);
}

TEST_F(Sound, NoInputBuffersMeanASilentInput) {
  send({test::midiEvent(0x90, 69, 127)});
  EXPECT_GT(peak(render(1024, nullptr)), 0.0f);
  float* noChannel[] = {nullptr};
  EXPECT_GT(peak(render(1024, noChannel)), 0.0f);
}

TEST_F(Sound, AccumulatingAddsToTheHostsBufferWithinTheLimit) {
  send({test::midiEvent(0x90, 57, 127)});
  std::vector<float> left(4096, 0.9f), right(4096, -0.9f);
  float* outputs[] = {left.data(), right.data()};
  AEffect* r = instrument->record();
  r->process(r, nullptr, outputs, 4096);
  bool moved = false;
  for (size_t i = 0; i < left.size(); ++i) {
    ASSERT_LE(std::fabs(left[i]), 0.99f + 1e-7f) << i;
    ASSERT_LE(std::fabs(right[i]), 0.99f + 1e-7f) << i;
    moved |= left[i] != 0.9f && left[i] != 0.99f;
  }
  EXPECT_TRUE(moved);
  std::vector<float> quiet(16, 0.9f);
  float* quietOutputs[] = {quiet.data(), quiet.data()};
  Instrument fresh(test::RecordingHost::callback());
  fresh.process(nullptr, quietOutputs, 16);
  EXPECT_EQ(quiet[0], 0.9f) << "no voice: the host's samples stay";
}

TEST_F(Sound, AnLfoWritesItsTargetAfterItsHoldAndTheProgramFollows) {
  instrument->setParameter(kL1Aim, 1.5f / 46.0f);  // Pan
  instrument->setParameter(kL1Per, 0.0f);
  instrument->setParameter(kLfo1, 1.0f);
  host.clear();
  render(44100);  // the aim change holds the LFO for one second
  EXPECT_EQ(instrument->getParameter(kPan), 0.5f);
  render(2000);
  EXPECT_NE(instrument->getParameter(kPan), 0.5f);
  EXPECT_EQ(instrument->program(0)->values.get(kPan), instrument->getParameter(kPan));
  EXPECT_EQ(host.count(kHostAutomate), 0);
  EXPECT_GT(host.count(kHostTempoAt), 10) << "every LFO write asks the tempo";
}

TEST_F(Sound, EditorChangesAutomateAndResynchroniseTheLfoAimedAtThem) {
  instrument->setParameter(kL1Aim, 41.5f / 46.0f);  // slot 41: Cutoff
  instrument->setParameter(kLfo1, 1.0f);
  instrument->setParameter(kL1Per, 0.0f);
  render(50000);
  const float offsetBefore = instrument->lfo(0).phaseOffset();
  instrument->setParameter(kCutoff, 0.3f);
  EXPECT_EQ(instrument->lfo(0).phaseOffset(), offsetBefore) << "setParameter alone does not resynchronise";
  host.clear();
  instrument->setParameterFromEditor(kCutoff, 0.3f);
  EXPECT_NE(instrument->lfo(0).phaseOffset(), offsetBefore);
  const auto automated = host.callsWith(kHostAutomate);
  ASSERT_EQ(automated.size(), 1u);
  EXPECT_EQ(automated[0].index, kCutoff);
  EXPECT_EQ(automated[0].opt, 0.3f);
}

TEST_F(Sound, ModulatorTargets) {
  instrument->setParameter(kL1Aim, 6.5f / 46.0f);
  EXPECT_EQ(instrument->modulatorTarget(kL1Aim), kO1Pitch);
  EXPECT_EQ(instrument->modulatorTarget(kL1Min), kO1Pitch);
  EXPECT_EQ(instrument->modulatorTarget(kL1Max), kO1Pitch);
  instrument->setParameter(kL2Aim, 1.0f);
  EXPECT_EQ(instrument->modulatorTarget(kL2Min), -1);
  EXPECT_EQ(instrument->modulatorTarget(kE1Val), 54) << "the default event aim 0.99";
  instrument->setParameter(kE4Aim, 1.0f);
  EXPECT_EQ(instrument->modulatorTarget(kE4Rel), 55);
  for (VstInt32 index : std::vector<VstInt32>{kL1Per, kL2Per, kE1Note, kE2Note, kE3Note, kE4Note, kVolume, 54, -1})
    EXPECT_EQ(instrument->modulatorTarget(index), -1) << index;
}

TEST_F(Sound, AbsurdValuesNeverReachTheHostAsNonFiniteSamples) {
  send({test::midiEvent(0x90, 48, 127), test::midiEvent(0x90, 55, 127), test::midiEvent(0x90, 60, 127)});
  render(256);
  instrument->setParameter(kCutoff, 0.0f);
  instrument->setParameter(kRes, 1.0f);
  instrument->setParameter(kVolume, std::nanf(""));
  instrument->setParameter(kPitch, 1e30f);
  instrument->setParameter(kO1Shape, -1e30f);
  send({test::midiEvent(0x90, 72, 127)});
  for (float s : render(8192)) ASSERT_TRUE(std::isfinite(s));
  for (float s : lastRight) ASSERT_TRUE(std::isfinite(s));
  instrument->setParameter(kVolume, 1.0f);
  instrument->setParameter(kCutoff, 1e30f);
  for (float s : render(8192)) ASSERT_TRUE(std::isfinite(s) && std::fabs(s) <= 0.99f + 1e-7f);
}

}  // namespace
}  // namespace brume
