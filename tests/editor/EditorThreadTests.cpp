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

}  // namespace
}  // namespace brume::test
