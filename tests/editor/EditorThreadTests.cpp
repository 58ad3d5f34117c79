// The audio thread renders (and so reports voices and requests refreshes)
// while the user-interface thread opens, idles and closes the editor over and
// over. Built with ThreadSanitizer in CI: any unsynchronised sharing between
// the two, or a meter used after close destroyed it, is reported there.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "engine/ParameterIndex.h"
#include "gui/native/headless/HeadlessPlatform.h"
#include "instrument/Instrument.h"
#include "tests/support/MidiEvents.h"
#include "tests/support/RecordingHost.h"

namespace brume::test {
namespace {

TEST(EditorThreads, RenderingWhileTheEditorOpensAndClosesRepeatedly) {
  headless::reset();
  RecordingHost host;
  Instrument instrument(RecordingHost::callback());
  instrument.setParameter(kLfo1, 1.0f);
  instrument.setParameter(kL1Per, 0.0f);
  instrument.setParameter(kL1Aim, 49.5f / 46.0f - 8.0f / 46.0f);  // slot 41: Cutoff

  std::atomic<bool> done{false};
  std::atomic<int> blocks{0};
  std::thread audio([&] {
    std::vector<float> left(256), right(256);
    float* outputs[] = {left.data(), right.data()};
    MidiEventList list;
    for (int block = 0; !done.load(); ++block) {
      list.set({midiEvent(block % 2 ? 0x80 : 0x90, static_cast<unsigned char>(40 + block % 24), 100)});
      instrument.receiveEvents(list.list());
      instrument.processReplacing(nullptr, outputs, 256);
      blocks.fetch_add(1);
    }
  });

  int hostWindow = 0;
  for (int round = 0; round < 100; ++round) {
    EditorBase* editor = instrument.editorObjectPointer();
    ASSERT_EQ(editor->open(&hostWindow), 1);
    headless::paintWindow(headless::lastCreatedWindow());
    for (int i = 0; i < 3; ++i) {
      headless::advanceTickCount(150);
      editor->idle();
    }
    editor->close();
  }
  done = true;
  audio.join();
  EXPECT_GT(blocks.load(), 0);
}

// As hosts do: automation and program changes from threads of their own while
// the audio thread renders held notes and the editor opens, idles and closes.
// Retunes and sustain changes of sounding voices must reach the audio thread
// without a data race.
// A host that answers from any thread and keeps nothing.
VstIntPtr BRUME_VSTCALL threadSafeHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
  if (opcode == kHostVersion) return 2400;
  if (opcode == kHostTempoAt) return 1200000;
  return 0;
}

TEST(EditorThreads, ParameterStormAndProgramChangesWhileRendering) {
  headless::reset();
  Instrument instrument(&threadSafeHost);

  std::atomic<bool> done{false};
  std::atomic<int> blocks{0};
  std::thread audio([&] {
    std::vector<float> left(128), right(128);
    float* outputs[] = {left.data(), right.data()};
    MidiEventList list;
    for (int block = 0; !done.load(); ++block) {
      list.set({midiEvent(block % 3 ? 0x90 : 0x80, static_cast<unsigned char>(40 + block % 16), 100, block % 128)});
      instrument.receiveEvents(list.list());
      instrument.processReplacing(nullptr, outputs, 128);
      blocks.fetch_add(1);
    }
  });
  while (blocks.load() == 0) std::this_thread::yield();

  std::thread automation([&] {
    for (int i = 0; i < 20000; ++i) {
      const VstInt32 index = (i * 7) % kParameterCount;
      instrument.setParameter(index, static_cast<float>(i % 101) / 100.0f);
      // The voice-changing ones most of all.
      instrument.setParameter(i % 2 ? kO2Pitch : kSustain, static_cast<float>(i % 37) / 36.0f);
    }
  });
  std::thread programs([&] {
    for (int i = 0; i < 300; ++i) instrument.dispatcher(2, 0, i % 16, nullptr, 0.0f);
  });

  int hostWindow = 0;
  for (int round = 0; round < 20; ++round) {
    EditorBase* editor = instrument.editorObjectPointer();
    ASSERT_EQ(editor->open(&hostWindow), 1);
    headless::advanceTickCount(150);
    editor->idle();
    editor->close();
  }
  automation.join();
  programs.join();
  done = true;
  audio.join();
  EXPECT_GT(blocks.load(), 1);
}

}  // namespace
}  // namespace brume::test
