// The audio path (event lists, both processing entries and everything they
// reach: parameter writes by LFOs and modulators, host tempo requests, the
// editor's refresh requests) allocates nothing and takes no lock; nor does
// the LV2 plug-in's run().
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "engine/ParameterIndex.h"
#include "tests/plugin/PluginModule.h"
#include "tests/realtime/AudioPathWatch.h"
#include "tests/support/MidiEvents.h"
#ifdef BRUME7_LV2_BUNDLE
#include "tests/lv2/Lv2TestHost.h"
#include "BuildPaths.h"
#endif

namespace brume::test {
namespace {

TEST(AudioPath, NoAllocationOrLockWhileRenderingAndHandlingEvents) {
  PluginModule module{BRUME7_PLUGIN_PATH};
  ASSERT_TRUE(module.loaded()) << module.error;
  AEffect* effect = module.open();
  ASSERT_NE(effect, nullptr);
  call(effect, 10, 0, 0, nullptr, 44100.0f);
  call(effect, 11, 0, 512);
  call(effect, 12, 0, 1);

  // Everything that writes parameters from the audio thread: both LFOs (one
  // aimed at a shape, one at the cutoff), an event modulator, glide.
  effect->setParameter(effect, kLfo1, 1.0f);
  effect->setParameter(effect, kL1Per, 0.0f);
  effect->setParameter(effect, kL1Aim, 5.5f / 46.0f);
  effect->setParameter(effect, kLfo2, 1.0f);
  effect->setParameter(effect, kL2Per, 0.1f);
  effect->setParameter(effect, kL2Aim, 41.5f / 46.0f);
  effect->setParameter(effect, kE1Aim, 52.5f / 55.0f);
  effect->setParameter(effect, kE1Note, 36.5f / 128.0f);
  effect->setParameter(effect, kGlide, 1.0f);

  std::vector<float> left(512), right(512), input(512, 0.01f);
  float* outputs[] = {left.data(), right.data()};
  float* inputs[] = {input.data()};
  MidiEventList events;
  const std::vector<std::vector<VstMidiEvent>> script = {
      {midiEvent(0x90, 60, 100, 0, -7), midiEvent(0x90, 64, 90, 17, -7), midiEvent(0x90, 67, 80, 300, -7)},
      {midiEvent(0x90, 36, 100, 5, -7), midiEvent(0xB0, 7, 100, 9, -7)},
      {midiEvent(0x80, 64, 0, 100, -7), midiEvent(0x90, 71, 70, 101, -7)},
      {midiEvent(0x80, 36, 0, 0, -7), midiEvent(0x90, 60, 0, 2, -7)},
      {midiEvent(0xB0, 126, 0, 50, -7), midiEvent(0x90, 48, 127, 51, -7)},
      {},
  };

  effect->processReplacing(effect, inputs, outputs, 512);  // the first block may touch lazily made state
  // The test host's own log must not allocate while watching.
  moduleHostLog().opcodes.reserve(moduleHostLog().opcodes.size() + (1 << 20));
  moduleHostLog().automatedIndexes.reserve(1 << 16);
  startWatchingAudioPath();
  for (int block = 0; block < 400; ++block) {
    events.set(script[block % script.size()]);
    call(effect, 25, 0, 0, events.list());
    if (block % 2)
      effect->processReplacing(effect, inputs, outputs, 512);
    else
      effect->process(effect, nullptr, outputs, 512);
  }
  const AudioPathCounts counts = stopWatchingAudioPath();
  EXPECT_EQ(counts.allocations, 0);
  EXPECT_EQ(counts.frees, 0);
  EXPECT_EQ(counts.locks, 0);
  call(effect, 1);
}

#ifdef BRUME7_LV2_BUNDLE
TEST(AudioPath, NoAllocationOrLockInTheLv2Run) {
  UridMap urids;
  Lv2Bundle bundle{BRUME7_LV2_BUNDLE};
  Lv2TestInstance instance(bundle, urids);
  ASSERT_TRUE(instance.valid());
  std::fill(instance.input().begin(), instance.input().end(), 0.01f);
  const lv2::ProgramsInterface* programs = instance.programs();
  ASSERT_NE(programs, nullptr);
  LV2_Handle handle = lilv_instance_get_handle(instance.lilvInstance());

  // The same writers as above: both LFOs, an event modulator, glide; set through the ports.
  const std::pair<ParameterIndex, float> settings[] = {
      {kLfo1, 1.0f},           {kL1Per, 0.0f},          {kL1Aim, 5.5f / 46.0f},    {kLfo2, 1.0f}, {kL2Per, 0.1f},
      {kL2Aim, 41.5f / 46.0f}, {kE1Aim, 52.5f / 55.0f}, {kE1Note, 36.5f / 128.0f}, {kGlide, 1.0f}};
  for (const auto& [index, value] : settings) instance.control(index) = value;
  instance.run(512);  // the first block may touch lazily made state

  startWatchingAudioPath();
  for (int block = 0; block < 400; ++block) {
    switch (block % 6) {
      case 0:
        instance.addTempo(0, 100.0f + static_cast<float>(block % 7));
        instance.addMidi(0, 0x90, 60, 100);
        instance.addMidi(17, 0x90, 64, 90);
        instance.addMidi(300, 0x90, 67, 80);
        break;
      case 1:
        instance.addMidi(5, 0x90, 36, 100);
        instance.control(kCutoff) = 0.2f + 0.001f * static_cast<float>(block);
        break;
      case 2:
        instance.addMidi(100, 0x80, 64, 0);
        instance.addMidi(101, 0x90, 71, 70);
        programs->select_program(handle, 0, static_cast<std::uint32_t>(block % 16));
        break;
      case 3:
        instance.addMidi(0, 0x80, 36, 0);
        instance.control(kO2Pitch) = 0.3f;
        instance.control(kPan) = 0.5f + 0.0001f * static_cast<float>(block);
        break;
      case 4:
        instance.addMidi(50, 0xB0, 126, 0);
        instance.addMidi(51, 0x90, 48, 127);
        break;
      default:
        break;
    }
    instance.run(block % 2 ? 512 : 333);
  }
  const AudioPathCounts counts = stopWatchingAudioPath();
  EXPECT_EQ(counts.allocations, 0);
  EXPECT_EQ(counts.frees, 0);
  EXPECT_EQ(counts.locks, 0);
}
#endif

TEST(AudioPath, TheWatchSeesAllocationsAndLocks) {
  void* (*volatile allocate)(std::size_t) = std::malloc;
  void (*volatile release)(void*) = std::free;
  startWatchingAudioPath();
  release(allocate(100));
  pthread_mutex_t mutex = PTHREAD_MUTEX_INITIALIZER;
  pthread_mutex_lock(&mutex);
  pthread_mutex_unlock(&mutex);
  const AudioPathCounts counts = stopWatchingAudioPath();
  EXPECT_EQ(counts.allocations, 1);
  EXPECT_EQ(counts.frees, 1);
  EXPECT_EQ(counts.locks, 1);
}

}  // namespace
}  // namespace brume::test
