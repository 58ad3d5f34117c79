// The LV2 adapter's run(): what it applies from the control ports and when,
// the tempo it takes from time:Position, the MIDI it hands over at its frames,
// program selection, and what it does with a host's misuse.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <vector>

#include "engine/ParameterApplication.h"
#include "host/lv2/Instance.h"
#include "host/lv2/PortLayout.h"
#include "instrument/ParameterCatalogue.h"
#include "tests/lv2/Lv2TestHost.h"

namespace brume::test {
namespace {

constexpr double kRate = 48000.0;
constexpr std::uint32_t kFrames = 256;

// An instance made through the adapter's own entry, every port on a buffer.
class AdapterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const LV2_Feature mapFeature{LV2_URID__map, urids.mapFeature()};
    const LV2_Feature* features[] = {&mapFeature, nullptr};
    instance.reset(lv2::Instance::create(kRate, features));
    ASSERT_TRUE(instance);
    for (std::int32_t i = 0; i < kParameterCount; ++i) {
      controls[i] = ParameterLayout[i].defaultValue;
      instance->connectPort(static_cast<std::uint32_t>(i), &controls[i]);
    }
    instance->connectPort(lv2::kLeftOutputPort, left.data());
    instance->connectPort(lv2::kRightOutputPort, right.data());
    instance->connectPort(lv2::kEventInputPort, events.sequence());
    instance->activate();
  }

  void run(std::uint32_t frames = kFrames) {
    instance->run(frames);
    events.clear();
  }

  Instrument& synth() { return instance->instrument(); }

  UridMap urids;
  std::unique_ptr<lv2::Instance> instance;
  float controls[kParameterCount] = {};
  std::vector<float> left = std::vector<float>(4096), right = std::vector<float>(4096);
  EventSequence events{urids};
};

TEST_F(AdapterTest, AFirstBlockWithPortsAtTheInstrumentsValuesAppliesNothing) {
  // The construction aimed LFO 1 at 44100 Hz; setting its aim again here would hold it until 48000.
  ASSERT_EQ(synth().lfo(0).holdUntil(), 44100);
  run();
  EXPECT_EQ(synth().lfo(0).holdUntil(), 44100);
  // A port that changes is applied, at the start of its block.
  controls[kL1Aim] = 0.5f;
  run();
  EXPECT_EQ(synth().getParameter(kL1Aim), 0.5f);
  EXPECT_EQ(synth().lfo(0).holdUntil(), static_cast<std::int32_t>(kFrames) + 48000);
}

TEST_F(AdapterTest, APortIsComparedWithItsOwnLastValueSoModulatorWritesStay) {
  // Event modulator 1 writes 0.2 into "Pan" when key 60 goes down.
  controls[kE1Aim] = 1.5f / 55.0f;
  controls[kE1Note] = 60.5f / 128.0f;
  controls[kE1Val] = 0.2f;
  run();
  events.addMidi(10, 0x90, 60, 100);
  run();
  EXPECT_EQ(synth().getParameter(kPan), 0.2f);
  run();  // the "Pan" port still holds 0.5, as before: not applied again
  EXPECT_EQ(synth().getParameter(kPan), 0.2f);
  controls[kPan] = 0.7f;
  run();
  EXPECT_EQ(synth().getParameter(kPan), 0.7f);
  // A port left at NaN is applied once, not at every block.
  controls[kPan] = std::numeric_limits<float>::quiet_NaN();
  run();
  EXPECT_TRUE(std::isnan(synth().getParameter(kPan)));
  events.addMidi(0, 0x90, 60, 100);
  run();
  run();
  EXPECT_EQ(synth().getParameter(kPan), 0.2f);
}

TEST_F(AdapterTest, TheTempoOfTimePositionReachesTheLfosAsAVst2HostsDoes) {
  EXPECT_EQ(synth().hostTempo(), 120.0f);  // until the host says
  // The first tempo: the periods set until then at 120 are set again with it.
  events.addTempo(0, 90.0f);
  run();
  EXPECT_EQ(synth().hostTempo(), 90.0f);
  EXPECT_EQ(synth().lfo(0).period(), lfoPeriodFromValue(0.5f, beatSamplesFor(90.0f, 48000.0f)));
  EXPECT_EQ(synth().lfo(1).period(), lfoPeriodFromValue(0.5f, beatSamplesFor(90.0f, 48000.0f)));
  // A later tempo reaches a period when that period is set, as with a VST 2 host;
  // it is kept to a ten-thousandth of a beat, as a VST 2 host reports it.
  events.addTempo(0, 97.30004f);
  run();
  EXPECT_EQ(synth().lfo(0).period(), lfoPeriodFromValue(0.5f, beatSamplesFor(90.0f, 48000.0f)));
  controls[kL1Per] = 0.25f;
  run();
  EXPECT_EQ(synth().hostTempo(), static_cast<float>(973000) * 0.0001f);
  EXPECT_EQ(synth().lfo(0).period(), lfoPeriodFromValue(0.25f, beatSamplesFor(synth().hostTempo(), 48000.0f)));
  // Tempos no host could mean are ignored.
  for (float bpm : {0.0f, -60.0f, std::numeric_limits<float>::infinity(), std::numeric_limits<float>::quiet_NaN()})
    events.addTempo(0, bpm);
  controls[kL1Per] = 0.5f;
  run();
  EXPECT_EQ(synth().hostTempo(), static_cast<float>(973000) * 0.0001f);
}

TEST_F(AdapterTest, TheBlocksMidiSoundsFromItsFrame) {
  events.addMidi(100, 0x90, 60, 127);
  run();
  for (std::uint32_t i = 0; i < 100; ++i) ASSERT_EQ(left[i], 0.0f) << "sound before its frame, at " << i;
  float loudest = 0.0f;
  for (std::uint32_t i = 100; i < kFrames; ++i) loudest = std::max(loudest, std::fabs(left[i]));
  EXPECT_GT(loudest, 0.0f);
  EXPECT_EQ(synth().synthEngine().soundingVoiceCount(), 1);
  // Frames past the block are taken at its last frame; more notes than the list holds are dropped.
  for (int n = 0; n < 2 * lv2::EventList::kCapacity; ++n) events.addMidi(kFrames + 50, 0x90, 30 + n % 60, 100);
  run();
  EXPECT_EQ(synth().synthEngine().soundingVoiceCount(), 16);
}

TEST_F(AdapterTest, AProgramSelectedTakesEffectAtTheNextBlockAndTheControlsFollow) {
  InstrumentProgram bright;
  bright.values.set(kCutoff, 0.9f);
  bright.rename("Bright");
  ASSERT_TRUE(synth().storeProgram(3, bright));
  const lv2::ProgramDescriptor* descriptor = instance->programAt(3);
  ASSERT_NE(descriptor, nullptr);
  EXPECT_EQ(descriptor->bank, 0u);
  EXPECT_EQ(descriptor->program, 3u);
  EXPECT_STREQ(descriptor->name, "Bright");
  EXPECT_EQ(instance->programAt(16), nullptr);

  instance->selectProgram(0, 3);
  EXPECT_EQ(controls[kCutoff], 0.9f);  // the host's controls follow at once
  EXPECT_EQ(synth().programIndex(), 0);
  run();
  EXPECT_EQ(synth().programIndex(), 3);
  EXPECT_EQ(synth().getParameter(kCutoff), 0.9f);
  // Programs that do not exist are ignored.
  for (auto [bank, program] : {std::pair{0u, 16u}, {1u, 0u}, {0u, 128u}, {0xffffffffu, 0xffffffffu}})
    instance->selectProgram(bank, program);
  run();
  EXPECT_EQ(synth().programIndex(), 3);
  EXPECT_EQ(controls[kCutoff], 0.9f);
}

TEST(AdapterMisuse, AnswersWithAValue) {
  UridMap urids;
  const LV2_Feature mapFeature{LV2_URID__map, urids.mapFeature()};
  const LV2_Feature* withMap[] = {&mapFeature, nullptr};
  const LV2_Feature* none[] = {nullptr};
  EXPECT_EQ(lv2::Instance::create(kRate, none), nullptr);
  EXPECT_EQ(lv2::Instance::create(kRate, nullptr), nullptr);
  EXPECT_EQ(lv2::Instance::create(0.0, withMap), nullptr);
  EXPECT_EQ(lv2::Instance::create(std::numeric_limits<double>::quiet_NaN(), withMap), nullptr);
  // No port connected, ports that do not exist: nothing is rendered and nothing breaks.
  std::unique_ptr<lv2::Instance> instance(lv2::Instance::create(kRate, withMap));
  ASSERT_TRUE(instance);
  float ignored = 0.0f;
  instance->connectPort(lv2::kPortCount, &ignored);
  instance->connectPort(0xffffffffu, &ignored);
  instance->activate();
  instance->run(kFrames);
  EXPECT_EQ(instance->instrument().samplesRendered(), 0);
  instance->deactivate();
}

}  // namespace
}  // namespace brume::test
