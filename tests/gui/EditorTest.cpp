// GuiEditorBase: registration with the instrument, rectangle, refresh, idle
// throttle and the in-idle guard.

#include "GuiTestSupport.h"

namespace brume::testing {
namespace {

using EditorTest = GuiFixture;

TEST_F(EditorTest, RegistersWithTheInstrumentAndSetsTheEditorFlag) {
  EXPECT_EQ(instrument->editorObjectPointer(), editor);
  EXPECT_EQ(instrument->record()->flags & kFlagHasEditor, kFlagHasEditor);
  ERect* rect = nullptr;
  EXPECT_EQ(editor->getRect(&rect), 1);
  ASSERT_NE(rect, nullptr);
  EXPECT_EQ(rect->right, kWidth);
  EXPECT_EQ(rect->bottom, kHeight);
  EXPECT_EQ(editor->setKnobMode(2), 1);
  EXPECT_EQ(frame()->knobMode(), 2);
}

TEST_F(EditorTest, OpenAsksForOneRefreshAtTheNextIdle) {
  EXPECT_TRUE(editor->isRefreshPending());
  editor->idle();
  editor->idle();
  EXPECT_EQ(editor->refreshCount, 1);
  editor->parameterChanged(3, 0.5f);
  editor->idle();
  EXPECT_EQ(editor->refreshCount, 2);
}

TEST_F(EditorTest, ServiceIdleRunsTheRealIdleAtMostOncePerPeriod) {
  // The editor was made at the start tick, so the first call idles at once.
  std::uint32_t start = headless::kStartTickCount;
  editor->serviceIdle();
  EXPECT_EQ(countHostCalls(kHostIdle), 1);
  EXPECT_EQ(editor->refreshCount, 1);
  EXPECT_EQ(headless::sleepCount(), 0u);

  // Until 50 ms before the next idle time (start + 100), each early call sleeps 4 ms and returns.
  headless::setTickCount(start + 10);
  editor->serviceIdle();
  EXPECT_EQ(countHostCalls(kHostIdle), 1);
  EXPECT_EQ(headless::sleptMilliseconds(), 4u);
  headless::setTickCount(start + 45);  // 45 + 4 is still below 50
  editor->serviceIdle();
  EXPECT_EQ(countHostCalls(kHostIdle), 1);

  headless::setTickCount(start + 46);  // 46 + 4 reaches the margin
  editor->serviceIdle();
  EXPECT_EQ(countHostCalls(kHostIdle), 2);
  EXPECT_EQ(headless::sleepCount(), 3u);

  // The next idle time is counted from the slept-on time: start + 50 + 100.
  headless::setTickCount(start + 95);
  editor->serviceIdle();
  EXPECT_EQ(countHostCalls(kHostIdle), 2);
  headless::setTickCount(start + 96);
  editor->serviceIdle();
  EXPECT_EQ(countHostCalls(kHostIdle), 3);
}

TEST_F(EditorTest, ServiceIdleDispatchesOnePendingPaint) {
  EXPECT_TRUE(headless::hasPendingPaint(window()));
  EXPECT_TRUE(frame()->isFirstPaintPending());
  editor->serviceIdle();
  EXPECT_FALSE(headless::hasPendingPaint(window()));
  EXPECT_FALSE(frame()->isFirstPaintPending());
}

TEST_F(EditorTest, IdleCalledFromInsideTheHostIdleDoesNothing) {
  editor->duringHostIdle = [](BareEditor& self) {
    self.markForRefresh();
    self.idle();
  };
  editor->serviceIdle();
  EXPECT_EQ(editor->refreshCount, 1) << "the nested idle ran a refresh";
  EXPECT_TRUE(editor->isRefreshPending());
  editor->duringHostIdle = nullptr;
  editor->idle();
  EXPECT_EQ(editor->refreshCount, 2);
}

TEST_F(EditorTest, WithoutAFrameKeysAndWheelAreNotHandled) {
  editor->close();
  EXPECT_EQ(editor->onKeyPress(KeyCode{0, 12, 0}), -1);
  EXPECT_EQ(editor->onKeyRelease(KeyCode{0, 12, 0}), -1);
  EXPECT_FALSE(editor->onWheelTurn(1.0f));
  editor->redrawAll();
}

TEST(EditorLifetime, DeletingTheEditorUnregistersIt) {
  headless::reset();
  RecordingInstrument instrument;
  auto* editor = new BareEditor(&instrument, 10, 10);
  int window = 0;
  editor->open(&window);
  delete editor;  // with its frame still open
  EXPECT_EQ(instrument.editorObjectPointer(), nullptr);
  EXPECT_EQ(instrument.record()->flags & kFlagHasEditor, 0);
  EXPECT_EQ(headless::threadInitDepth(), 0);
}

}  // namespace
}  // namespace brume::testing
