// The frame's view list, mouse, key, wheel and drop dispatch, and idle redraws.

#include "GuiTestSupport.h"
#include "gui/MouseButtons.h"

namespace brume::testing {
namespace {

using FrameTest = GuiFixture;

RecordingView* addRecorder(Frame* frame, const Rect& bounds, VstInt32 keyAnswer = -1) {
  auto* view = new RecordingView(bounds, keyAnswer);
  EXPECT_TRUE(frame->addView(view));
  return view;
}

TEST_F(FrameTest, PressGoesToTheLastAddedViewUnderIt) {
  RecordingView* below = addRecorder(frame(), {10, 10, 50, 50});
  RecordingView* above = addRecorder(frame(), {30, 30, 70, 70});
  headless::pressButton(window(), {40, 40});
  EXPECT_EQ(above->presses.size(), 1u);
  EXPECT_TRUE(below->presses.empty());

  headless::pressButton(window(), {20, 20});
  EXPECT_EQ(below->presses.size(), 1u);
  EXPECT_EQ(above->presses.size(), 1u);
}

TEST_F(FrameTest, RightAndBottomEdgesAreInsideTheView) {
  RecordingView* view = addRecorder(frame(), {10, 10, 50, 50});
  headless::pressButton(window(), {50, 50});
  headless::pressButton(window(), {10, 10});
  headless::pressButton(window(), {51, 30});
  headless::pressButton(window(), {30, 51});
  ASSERT_EQ(view->presses.size(), 2u);
  EXPECT_EQ(view->presses[0], (Point{50, 50}));
  EXPECT_EQ(view->presses[1], (Point{10, 10}));
}

TEST_F(FrameTest, MouseInactiveViewIsSkippedForTheOneBelow) {
  RecordingView* below = addRecorder(frame(), {10, 10, 50, 50});
  RecordingView* above = addRecorder(frame(), {10, 10, 50, 50});
  above->setMouseActive(false);
  headless::pressButton(window(), {20, 20}, kRightButton);
  EXPECT_TRUE(above->presses.empty());
  EXPECT_EQ(below->presses.size(), 1u);
}

TEST_F(FrameTest, PressEndsTheFocusBeforeDispatch) {
  RecordingView* focused = addRecorder(frame(), {100, 10, 120, 30});
  addRecorder(frame(), {10, 10, 50, 50});
  frame()->setFocusedView(focused);
  headless::pressButton(window(), {20, 20}, kMiddleButton);
  EXPECT_EQ(focused->focusEnds, 1);
  EXPECT_EQ(frame()->focusedView(), nullptr);
}

TEST_F(FrameTest, KeysAskTheFocusThenFallThroughFromTheTop) {
  RecordingView* bottom = addRecorder(frame(), {0, 0, 10, 10}, 7);
  RecordingView* top = addRecorder(frame(), {0, 0, 10, 10}, -1);
  RecordingView* focused = addRecorder(frame(), {20, 0, 30, 10}, -1);
  frame()->setFocusedView(focused);
  KeyCode key{0, 12, 0};
  EXPECT_EQ(editor->onKeyPress(key), 7);
  // The focus view is asked first and again in list order; then the top one, then the bottom one.
  EXPECT_EQ(focused->keys, 2);
  EXPECT_EQ(top->keys, 1);
  EXPECT_EQ(bottom->keys, 1);

  bottom->keyAnswer = -1;
  EXPECT_EQ(editor->onKeyPress(key), -1);
}

TEST_F(FrameTest, FocusMovesAndTheOldViewEndsAfterwards) {
  RecordingView* first = addRecorder(frame(), {0, 0, 10, 10});
  RecordingView* second = addRecorder(frame(), {0, 0, 10, 10});
  frame()->setFocusedView(first);
  frame()->setFocusedView(second);
  EXPECT_EQ(first->focusEnds, 1);
  EXPECT_EQ(second->focusEnds, 0);
  EXPECT_EQ(frame()->focusedView(), second);
}

TEST_F(FrameTest, ListGrowsKeepsOrderAndRemovesInPlace) {
  std::vector<RecordingView*> views;
  for (int i = 0; i < 25; ++i) views.push_back(addRecorder(frame(), {i, 0, i + 1, 1}));
  ASSERT_EQ(frame()->viewCount(), 25);
  views[3]->retain();
  EXPECT_TRUE(frame()->removeView(views[3], true));
  EXPECT_EQ(views[3]->referenceCount(), 1) << "removal with release gives up the frame's reference";
  EXPECT_TRUE(frame()->removeView(views[3], true)) << "a view not held is no error";
  ASSERT_EQ(frame()->viewCount(), 24);
  for (int i = 0; i < 24; ++i)
    EXPECT_EQ(frame()->viewAt(i), views[i < 3 ? i : i + 1]) << "first index out of order: " << i;
  EXPECT_EQ(frame()->viewAt(-1), nullptr);
  EXPECT_EQ(frame()->viewAt(24), nullptr);
  EXPECT_FALSE(frame()->containsView(views[3]));
  views[3]->release();
}

TEST_F(FrameTest, IdleDrawsNothingBeforeTheFirstPaint) {
  RecordingView* view = addRecorder(frame(), {0, 0, 10, 10});
  view->markRedraw(true);
  editor->idle();
  EXPECT_EQ(view->draws, 0);

  paintAll();
  EXPECT_EQ(view->draws, 1) << "the first paint draws every overlapping view";
  view->markRedraw(true);
  editor->idle();
  EXPECT_EQ(view->draws, 2);
  editor->idle();
  EXPECT_EQ(view->draws, 2) << "an unmarked view is not drawn again";
}

TEST_F(FrameTest, IdleRedrawsOnlyMarkedViews) {
  RecordingView* marked = addRecorder(frame(), {0, 0, 10, 10});
  RecordingView* clean = addRecorder(frame(), {20, 0, 30, 10});
  paintAll();
  marked->markRedraw(true);
  editor->idle();
  EXPECT_EQ(marked->draws, 2);
  EXPECT_EQ(clean->draws, 1);
}

TEST_F(FrameTest, PaintDrawsOnlyViewsMeetingTheArea) {
  RecordingView* inside = addRecorder(frame(), {0, 0, 10, 10});
  RecordingView* outside = addRecorder(frame(), {50, 50, 60, 60});
  headless::paintWindow(window());  // the whole window is pending after creation
  inside->draws = outside->draws = 0;
  headless::paintWindow(window(), {0, 0, 11, 11});
  EXPECT_EQ(inside->draws, 1);
  EXPECT_EQ(outside->draws, 0);
}

TEST_F(FrameTest, AfterTheHostWindowIsGoneIdleDrawsNothing) {
  RecordingView* view = addRecorder(frame(), {0, 0, 10, 10});
  paintAll();
  headless::destroyParentWindow(window());
  EXPECT_FALSE(frame()->isOpen());
  EXPECT_EQ(frame()->parentWindowHandle(), nullptr);
  view->markRedraw(true);
  editor->idle();
  EXPECT_EQ(view->draws, 1);
}

TEST_F(FrameTest, WheelGoesToTheViewUnderTheCursor) {
  struct WheelView : RecordingView {
    using RecordingView::RecordingView;
    bool onWheelTurn(DrawContext* context, Point where, float distance) override {
      hadContext = context != nullptr;
      at = where;
      turned += distance;
      return true;
    }
    bool hadContext = false;
    Point at;
    float turned = 0.0f;
  };
  auto* view = new WheelView(Rect{10, 10, 50, 50});
  view->setMouseActive(false);  // not consulted for the wheel
  frame()->addView(view);
  headless::setInputState({0, screen({50, 20})});
  EXPECT_TRUE(editor->onWheelTurn(2.0f));
  EXPECT_EQ(view->turned, 2.0f);
  EXPECT_EQ(view->at, (Point{50, 20}));
  EXPECT_TRUE(view->hadContext);

  headless::setInputState({0, screen({60, 20})});
  EXPECT_FALSE(editor->onWheelTurn(1.0f));
}

TEST_F(FrameTest, DropIsOfferedFromTheTopUnlessAViewHasTheFocus) {
  RecordingView* below = addRecorder(frame(), {0, 0, 50, 50});
  RecordingView* above = addRecorder(frame(), {0, 0, 50, 50});
  below->acceptsDrops = true;
  EXPECT_TRUE(headless::isDropTargetRegistered(window()));
  headless::setInputState({0, screen({5, 5})});
  EXPECT_TRUE(headless::dropOnWindow(window(), {"hello"}, 1));
  EXPECT_EQ(above->drops, std::vector<std::string>{"hello"});
  EXPECT_EQ(below->drops, std::vector<std::string>{"hello"});

  frame()->setFocusedView(above);
  EXPECT_FALSE(headless::dropOnWindow(window(), {"again"}, 1));
  EXPECT_EQ(below->drops.size(), 1u);
}

TEST_F(FrameTest, RemoveAllViewsEndsFocusAndReleases) {
  RecordingView* view = addRecorder(frame(), {0, 0, 10, 10});
  view->retain();
  frame()->setFocusedView(view);
  frame()->removeAllViews(true);
  EXPECT_EQ(view->focusEnds, 1);
  EXPECT_EQ(view->referenceCount(), 1);
  EXPECT_EQ(frame()->viewCount(), 0);
  view->release();
}

TEST(FrameWithoutWindow, KeepsItsListFocusAndKeys) {
  headless::reset();
  int windowsBefore = headless::windowCount();
  Frame* frame = new Frame(Rect{0, 0, 100, 100}, nullptr, nullptr);
  EXPECT_EQ(frame->nativeWindow(), nullptr);
  EXPECT_EQ(headless::windowCount(), windowsBefore);
  auto* view = new RecordingView(Rect{0, 0, 10, 10}, 3);
  frame->addView(view);
  frame->setFocusedView(view);
  EXPECT_EQ(frame->onKeyPress(KeyCode{}), 3);
  EXPECT_EQ(frame->tickCount(), 0u) << "no editor, no clock";
  EXPECT_FALSE(frame->enableDrop(true));
  delete frame;
  EXPECT_EQ(headless::threadInitDepth(), 0);
}

}  // namespace
}  // namespace brume::testing
