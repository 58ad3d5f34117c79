// The audio path (event lists, both processing entries and everything they
// reach: parameter writes by LFOs and modulators, host tempo requests, the
// editor's refresh requests) allocates nothing and takes no lock.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "engine/ParameterIndex.h"
#include "tests/plugin/PluginModule.h"
#include "tests/realtime/AudioPathWatch.h"
#include "tests/support/MidiEvents.h"

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
