// The X11 backend under a private Xvfb server: the frame as a child of a
// host window, its pixels on the screen, presses, drags and typing sent with
// xdotool, the text entry, and clean-up, errors and other screen depths.

#include <dirent.h>

#include <cstring>

#include "X11TestSupport.h"
#include "gui/Bitmap.h"
#include "gui/FilmstripKnob.h"
#include "gui/MouseButtons.h"
#include "gui/TextField.h"
#include "gui/ToggleButton.h"
#include "gui/native/NativePlatform.h"
#include "gui/native/raster/ImageResources.h"
#include "gui/native/x11/X11Platform.h"

#include <X11/Xutil.h>

namespace brume::testing {
namespace {

constexpr std::int32_t kBackgroundId = 900;
constexpr std::int32_t kStripId = 901;
constexpr raster::Pixel kYellow = 0xFFFF00;
constexpr raster::Pixel kBlue = 0x0000FF;

// A background where every pixel differs from its neighbours, and a two-frame
// knob strip: a blue square on yellow, then a red one.
void addTestBitmaps(std::int32_t width, std::int32_t height) {
  std::vector<raster::Pixel> background;
  for (std::int32_t y = 0; y < height; ++y)
    for (std::int32_t x = 0; x < width; ++x)
      background.push_back(static_cast<raster::Pixel>((x * 2 & 0xff) << 16 | (y * 3 & 0xff) << 8 | ((x + y) & 0xff)));
  raster::addImageResource(kBackgroundId, makeBmp(width, height, background));
  std::vector<raster::Pixel> strip;
  for (std::int32_t y = 0; y < 64; ++y)
    for (std::int32_t x = 0; x < 32; ++x) {
      bool inside = x >= 8 && x < 24 && (y % 32) >= 8 && (y % 32) < 24;
      strip.push_back(inside ? (y < 32 ? kBlue : 0xFF0000) : kYellow);
    }
  raster::addImageResource(kStripId, makeBmp(32, 64, strip));
}

// Frame contents shared by several tests; the knob and text field are returned for checks.
struct Panel {
  FilmstripKnob* knob = nullptr;
  TextField* field = nullptr;
};

void buildPanel(Frame& frame, Panel& panel, ControlListener* listener, bool fieldTakesClicks) {
  Bitmap* background = new Bitmap(kBackgroundId);
  frame.setBackground(background);
  Bitmap* strip = new Bitmap(kStripId);
  strip->setTransparentColour(Colour{255, 255, 0, 0});
  panel.knob = new FilmstripKnob(Rect{10, 10, 42, 42}, listener, 7, 2, 32, strip, Point{10, 10});
  panel.knob->setTransparent(true);
  frame.addView(panel.knob);
  panel.field = new TextField(Rect{50, 50, 130, 66}, listener, 8, "Brume", background, 0);
  panel.field->setFontIndex(2);
  panel.field->setTextColour(Colour{0, 0, 0, 0});
  panel.field->setBackgroundOffset(Point{50, 50});
  panel.field->setMouseActive(fieldTakesClicks);
  frame.addView(panel.field);
  background->release();
  strip->release();
}

class X11Window : public X11Fixture {};

TEST_F(X11Window, IsAChildOfTheHostWindowAtTheEditorSize) {
  openEditor(150, 90, nullptr);
  ::Window id = frameWindowId();
  ASSERT_NE(id, 0u);
  ::Window root = 0;
  ::Window parentOfFrame = 0;
  ::Window* children = nullptr;
  unsigned count = 0;
  XQueryTree(display, id, &root, &parentOfFrame, &children, &count);
  if (children) XFree(children);
  EXPECT_EQ(parentOfFrame, parent);
  XWindowAttributes attributes;
  ASSERT_TRUE(XGetWindowAttributes(display, id, &attributes));
  EXPECT_EQ(attributes.width, 150);
  EXPECT_EQ(attributes.height, 90);
  EXPECT_EQ(attributes.x, 0);
  EXPECT_EQ(attributes.y, 0);
  EXPECT_EQ(attributes.map_state, IsViewable);
  EXPECT_EQ(x11::openConnectionCount(), 1);
}

TEST_F(X11Window, ShowsWhatTheToolkitDrewAfterTheExposure) {
  addTestBitmaps(200, 120);
  Panel panel;
  openEditor(200, 120, [&panel](Frame& frame) { buildPanel(frame, panel, nullptr, false); });
  ASSERT_TRUE(idleUntilPainted());
  const raster::Canvas* drawn = x11::windowCanvas(editor->getFrame()->nativeWindow());
  ASSERT_NE(drawn, nullptr);
  raster::Canvas shown = screenPixels(frameWindowId());
  EXPECT_EQ(firstDifference(*drawn, shown), "");
  // What was compared is the panel: the background, the knob's first frame over it, the text.
  EXPECT_EQ(shown.pixel(100, 20), static_cast<raster::Pixel>(200 << 16 | 60 << 8 | 120));
  EXPECT_EQ(shown.pixel(26, 26), kBlue);
  EXPECT_EQ(shown.pixel(12, 12), static_cast<raster::Pixel>(24 << 16 | 36 << 8 | 24)) << "yellow is left out";
  bool textInked = false;
  for (std::int32_t x = 50; x < 130; ++x) textInked |= shown.pixel(x, 58) == 0;
  EXPECT_TRUE(textInked) << "no black text pixels in the field's middle row";
}

TEST_F(X11Window, RepaintsAnUncoveredAreaThroughTheFrame) {
  RecordingView* view = nullptr;
  addTestBitmaps(200, 120);
  openEditor(200, 120, [&view](Frame& frame) {
    Bitmap* background = new Bitmap(kBackgroundId);
    frame.setBackground(background);
    background->release();
    view = new RecordingView(Rect{20, 20, 60, 60});
    frame.addView(view);
  });
  ASSERT_TRUE(idleUntilPainted());
  int drawsBefore = view->draws;
  ::Window cover = makeTopLevel(10, 10, 80, 80);
  XDestroyWindow(display, cover);
  XSync(display, False);
  ASSERT_TRUE(idleUntil([&] { return view->draws > drawsBefore; })) << "the uncovered view was not drawn again";
  raster::Canvas shown = screenPixels(frameWindowId());
  EXPECT_EQ(firstDifference(*x11::windowCanvas(editor->getFrame()->nativeWindow()), shown), "");
}

class X11Input : public X11Fixture {};

TEST_F(X11Input, PressReachesTheTopmostViewUnderIt) {
  SKIP_WITHOUT_XDOTOOL();
  RecordingView* below = nullptr;
  RecordingView* above = nullptr;
  openEditor(200, 120, [&](Frame& frame) {
    below = new RecordingView(Rect{10, 10, 100, 100});
    above = new RecordingView(Rect{30, 30, 60, 60});
    frame.addView(below);
    frame.addView(above);
  });
  ASSERT_TRUE(idleUntilPainted());
  ASSERT_EQ(runCommand(xdotool("mousemove --window " + std::to_string(parent) + " 40 45 click 1")), 0);
  ASSERT_TRUE(idleUntil([&] { return !above->presses.empty(); })) << "the press did not arrive";
  EXPECT_EQ(above->presses.front(), (Point{40, 45}));
  EXPECT_TRUE(below->presses.empty());
  ASSERT_EQ(runCommand(xdotool("mousemove --window " + std::to_string(parent) + " 15 90 click 3")), 0);
  ASSERT_TRUE(idleUntil([&] { return !below->presses.empty(); })) << "the right-button press did not arrive";
  EXPECT_EQ(below->presses.front(), (Point{15, 90}));
}

TEST_F(X11Input, AClickIdledAfterItsReleaseStillActsAsAPress) {
  SKIP_WITHOUT_XDOTOOL();
  RecordingListener listener;
  ToggleButton* toggle = nullptr;
  openEditor(200, 120, [&](Frame& frame) {
    toggle = new ToggleButton(Rect{20, 20, 60, 40}, &listener, 3, nullptr);
    frame.addView(toggle);
  });
  ASSERT_TRUE(idleUntilPainted());
  // Down and up before the next idle reads the press.
  ASSERT_EQ(runCommand(xdotool("mousemove --window " + std::to_string(parent) + " 30 30 click 1")), 0);
  ASSERT_TRUE(idleUntil([&] { return !listener.values.empty(); })) << "the toggle never heard the click";
  EXPECT_EQ(listener.values, std::vector<float>{1.0f});
}

TEST_F(X11Input, KnobDragPollsThePointerBetweenBeginAndEndEdit) {
  SKIP_WITHOUT_XDOTOOL();
  addTestBitmaps(200, 120);
  RecordingListener listener;
  Panel panel;
  openEditor(200, 120, [&](Frame& frame) { buildPanel(frame, panel, &listener, false); });
  editor->setKnobMode(2);  // linear: 200 pixels up for the whole range
  ASSERT_TRUE(idleUntilPainted());
  std::string window = std::to_string(parent);
  hostCalls().clear();
  BackgroundCommand drag(xdotool("mousemove --window " + window + " 26 26 mousedown 1 sleep 0.2 mousemove --window " +
                                 window + " 36 26 sleep 0.2 mousemove --window " + window +
                                 " 76 26 sleep 0.2 mouseup 1"));
  ASSERT_TRUE(idleUntil([&] { return drag.finished() && !listener.values.empty(); })) << "no drag seen";
  editor->idle();  // a drag runs to its end inside one idle
  EXPECT_EQ(drag.status(), 0);
  // 50 pixels right at 1/200 of the range per pixel.
  EXPECT_FLOAT_EQ(listener.values.back(), 0.25f);
  EXPECT_FLOAT_EQ(panel.knob->getValue(), 0.25f);
  ASSERT_GE(hostCalls().size(), 2u);
  EXPECT_EQ(hostCalls().front().opcode, kHostBeginEdit) << describeHostCalls();
  EXPECT_EQ(hostCalls().front().index, 7);
  EXPECT_EQ(hostCalls().back().opcode, kHostEndEdit) << describeHostCalls();
  EXPECT_EQ(hostCalls().back().index, 7);
  editor->setKnobMode(0);
  // The knob's last drawing reached the screen.
  raster::Canvas shown = screenPixels(frameWindowId());
  EXPECT_EQ(firstDifference(*x11::windowCanvas(editor->getFrame()->nativeWindow()), shown), "");
}

TEST_F(X11Input, ButtonsModifiersAndPositionsArePolledFromTheServer) {
  SKIP_WITHOUT_XDOTOOL();
  openEditor(100, 80, nullptr);
  ASSERT_TRUE(idleUntilPainted());
  native::Window* window = editor->getFrame()->nativeWindow();
  XMoveWindow(display, parent, 37, 53);
  XSync(display, False);
  EXPECT_EQ(native::windowScreenOrigin(window), (Point{37, 53}));
  ASSERT_EQ(runCommand(xdotool("mousemove 123 45")), 0);
  EXPECT_EQ(native::cursorScreenPosition(), (Point{123, 45}));
  EXPECT_EQ(native::mouseButtons(), 0);
  ASSERT_EQ(runCommand(xdotool("keydown shift mousedown 1")), 0);
  EXPECT_EQ(native::mouseButtons(), kLeftButton | kShiftKey);
  ASSERT_EQ(runCommand(xdotool("keyup shift mouseup 1 keydown ctrl mousedown 3")), 0);
  EXPECT_EQ(native::mouseButtons(), kRightButton | kControlKey);
  ASSERT_EQ(runCommand(xdotool("mouseup 3 keyup ctrl")), 0);
  EXPECT_EQ(native::mouseButtons(), 0);
}

class X11TextEntry : public X11Fixture {
 protected:
  void openField() {
    addTestBitmaps(200, 120);
    openEditor(200, 120, [this](Frame& frame) {
      buildPanel(frame, panel, &listener, true);
      view = new RecordingView(Rect{150, 80, 190, 110});
      frame.addView(view);
    });
    ASSERT_TRUE(idleUntilPainted());
    XSetInputFocus(display, parent, RevertToParent, CurrentTime);
    XSync(display, False);
    ASSERT_EQ(runCommand(xdotool("mousemove --window " + std::to_string(parent) + " 90 58 click 1")), 0);
    ASSERT_TRUE(idleUntil([this] { return panel.field->isEditing(); })) << "the click did not start editing";
  }

  std::string entryText() {
    char text[256];
    native::copyTextEntryText(panel.field->textEntry(), text, sizeof text);
    return text;
  }

  RecordingListener listener;
  Panel panel;
  RecordingView* view = nullptr;
};

TEST_F(X11TextEntry, TakesTheKeyboardAndShowsTheWholeTextSelected) {
  SKIP_WITHOUT_XDOTOOL();
  openField();
  EXPECT_EQ(x11::activeTextEntry(), panel.field->textEntry());
  ::Window focus = 0;
  int revert = 0;
  XGetInputFocus(display, &focus, &revert);
  EXPECT_EQ(focus, frameWindowId());
  EXPECT_EQ(entryText(), "Brume");
  raster::Canvas shown = screenPixels(frameWindowId());
  EXPECT_EQ(firstDifference(*x11::windowCanvas(editor->getFrame()->nativeWindow()), shown), "");
  // The entry covers the field in the field's back colour (black by default).
  EXPECT_EQ(shown.pixel(51, 51), 0u) << "the entry's box is not on the screen";
}

TEST_F(X11TextEntry, TypingEditsTheTextAndEnterEndsIt) {
  SKIP_WITHOUT_XDOTOOL();
  openField();
  ASSERT_EQ(runCommand(xdotool("type xyz")), 0);
  ASSERT_TRUE(idleUntil([this] { return entryText() == "xyz"; })) << "typed text: " << entryText();
  // Caret after z: two left, delete x, to the start, a, to the end, b, to the start, delete.
  ASSERT_EQ(runCommand(xdotool("key Left Left BackSpace Home a End b Home Delete")), 0);
  ASSERT_TRUE(idleUntil([this] { return entryText() == "yzb"; })) << "edited text: " << entryText();
  ASSERT_EQ(runCommand(xdotool("key Return")), 0);
  ASSERT_TRUE(idleUntil([this] { return !panel.field->isEditing(); })) << "Enter did not end editing";
  EXPECT_STREQ(panel.field->getText(), "yzb");
  EXPECT_EQ(listener.values.size(), 1u) << "the change is reported once";
  EXPECT_EQ(x11::activeTextEntry(), nullptr);
  ::Window focus = 0;
  int revert = 0;
  XGetInputFocus(display, &focus, &revert);
  EXPECT_EQ(focus, parent) << "the keyboard goes back to the host window";
}

TEST_F(X11TextEntry, LosingTheKeyboardFocusEndsIt) {
  SKIP_WITHOUT_XDOTOOL();
  openField();
  ASSERT_EQ(runCommand(xdotool("type q")), 0);
  ASSERT_TRUE(idleUntil([this] { return entryText() == "q"; }));
  XSetInputFocus(display, parent, RevertToParent, CurrentTime);
  XSync(display, False);
  ASSERT_TRUE(idleUntil([this] { return !panel.field->isEditing(); })) << "the focus loss did not end editing";
  EXPECT_STREQ(panel.field->getText(), "q");
  EXPECT_EQ(listener.values.size(), 1u);
}

TEST_F(X11TextEntry, APressElsewhereInTheFrameEndsItAndReachesTheView) {
  SKIP_WITHOUT_XDOTOOL();
  openField();
  ASSERT_EQ(runCommand(xdotool("type Brume")), 0);
  ASSERT_TRUE(idleUntil([this] { return entryText() == "Brume"; }));
  ASSERT_EQ(runCommand(xdotool("mousemove --window " + std::to_string(parent) + " 160 90 click 1")), 0);
  ASSERT_TRUE(idleUntil([this] { return !view->presses.empty(); }));
  EXPECT_FALSE(panel.field->isEditing());
  EXPECT_STREQ(panel.field->getText(), "Brume");
  EXPECT_TRUE(listener.values.empty()) << "the same text is no change";
  // The field's own pixels come back where the entry was.
  ASSERT_TRUE(idleUntil([] { return !x11::activeTextEntry(); }));
  editor->idle();
  raster::Canvas shown = screenPixels(frameWindowId());
  EXPECT_EQ(shown.pixel(100, 20), static_cast<raster::Pixel>(200 << 16 | 60 << 8 | 120));
  EXPECT_NE(shown.pixel(51, 51), 0u) << "the entry's box is still on the screen";
}

TEST_F(X11TextEntry, AClickInsideTheEntryMovesTheCaretInsteadOfEndingIt) {
  SKIP_WITHOUT_XDOTOOL();
  openField();
  // Left of the centred text: the caret goes to the start.
  ASSERT_EQ(runCommand(xdotool("mousemove --window " + std::to_string(parent) + " 52 58 click 1")), 0);
  ASSERT_EQ(runCommand(xdotool("type A")), 0);
  ASSERT_TRUE(idleUntil([this] { return entryText() == "ABrume"; })) << "text: " << entryText();
  EXPECT_TRUE(panel.field->isEditing());
}

class X11Lifecycle : public X11Fixture {};

std::int32_t openFileCount() {
  std::int32_t count = 0;
  if (DIR* folder = opendir("/proc/self/fd")) {
    while (readdir(folder)) ++count;
    closedir(folder);
  }
  return count;
}

TEST_F(X11Lifecycle, OpeningAndClosing100TimesLeavesNothingBehind) {
  addTestBitmaps(60, 40);
  std::int32_t filesBefore = openFileCount();
  for (int round = 0; round < 100; ++round) {
    openEditor(60, 40, [](Frame& frame) {
      Bitmap* background = new Bitmap(kBackgroundId);
      frame.setBackground(background);
      background->release();
    });
    ASSERT_TRUE(idleUntilPainted()) << "round " << round;
    ASSERT_EQ(x11::openConnectionCount(), 1) << "round " << round;
    closeEditor();
    ASSERT_EQ(x11::openConnectionCount(), 0) << "round " << round << ": the connection stayed open";
    ASSERT_EQ(x11::windowCount(), 0) << "round " << round;
  }
  EXPECT_EQ(openFileCount(), filesBefore) << "file descriptors were left open";
  ::Window root = 0;
  ::Window above = 0;
  ::Window* children = nullptr;
  unsigned count = 0;
  XQueryTree(display, parent, &root, &above, &children, &count);
  if (children) XFree(children);
  EXPECT_EQ(count, 0u) << "child windows were left on the host window";
}

TEST_F(X11Lifecycle, EventsOfADestroyedWindowAreDropped) {
  SKIP_WITHOUT_XDOTOOL();
  ::Window secondHost = makeTopLevel(500, 0, 200, 120);
  RecordingView* firstView = nullptr;
  openEditor(200, 120, [&](Frame& frame) {
    firstView = new RecordingView(Rect{0, 0, 199, 119});
    frame.addView(firstView);
  });
  ASSERT_TRUE(idleUntilPainted());
  // A second editor keeps the connection open after the first one goes.
  TestInstrument otherInstrument;
  auto* other = new TestEditor(&otherInstrument, 200, 120);
  RecordingView* secondView = nullptr;
  other->populate = [&](Frame& frame) {
    secondView = new RecordingView(Rect{0, 0, 199, 119});
    frame.addView(secondView);
  };
  other->open(reinterpret_cast<void*>(static_cast<std::uintptr_t>(secondHost)));
  // A press and an exposure queue up for the first frame, which then goes before any idle.
  ASSERT_EQ(runCommand(xdotool("mousemove --window " + std::to_string(parent) + " 50 50 click 1")), 0);
  XClearArea(display, frameWindowId(), 0, 0, 0, 0, True);
  XSync(display, False);
  closeEditor();
  ASSERT_EQ(x11::openConnectionCount(), 1);
  for (int i = 0; i < 20; ++i) other->idle();
  EXPECT_TRUE(secondView->presses.empty());
  EXPECT_EQ(x11::windowCount(), 1);
  other->close();
  EXPECT_EQ(x11::openConnectionCount(), 0);
}

TEST_F(X11Lifecycle, HostDestroyingItsWindowFirstClosesTheFrame) {
  RecordingView* view = nullptr;
  openEditor(200, 120, [&](Frame& frame) {
    view = new RecordingView(Rect{0, 0, 100, 100});
    frame.addView(view);
  });
  ASSERT_TRUE(idleUntilPainted());
  XDestroyWindow(display, parent);
  XSync(display, False);
  parent = 0;
  ASSERT_TRUE(idleUntil([this] { return !editor->getFrame()->isOpen(); })) << "the frame did not hear of it";
  EXPECT_EQ(editor->getFrame()->parentWindowHandle(), nullptr);
  int draws = view->draws;
  editor->getFrame()->markRedraw(true);
  editor->idle();
  EXPECT_EQ(view->draws, draws) << "a closed frame still drew";
  closeEditor();
  EXPECT_EQ(x11::openConnectionCount(), 0);
}

class X11Errors : public X11Fixture {};

TEST_F(X11Errors, ABadParentWindowGivesNoWindowAndDoesNotEndTheProcess) {
  std::uint32_t errorsBefore = x11::caughtErrorCount();
  openEditor(100, 80, nullptr, static_cast<::Window>(0x1fffffff));
  EXPECT_EQ(editor->getFrame()->nativeWindow(), nullptr);
  EXPECT_GT(x11::caughtErrorCount(), errorsBefore);
  EXPECT_EQ(x11::openConnectionCount(), 0);
  editor->idle();
  closeEditor();
}

TEST_F(X11Errors, ALostServerLeavesTheHostRunning) {
  openEditor(100, 80, nullptr);
  ASSERT_TRUE(idleUntilPainted());
  XCloseDisplay(display);
  display = nullptr;
  server->stop();
  editor->idle();
  editor->idle();
  EXPECT_TRUE(x11::isConnectionLost());
  EXPECT_EQ(native::mouseButtons(), 0);
  native::windowScreenOrigin(editor->getFrame()->nativeWindow());
  editor->getFrame()->paintNow(nullptr);
  closeEditor();
  EXPECT_EQ(x11::openConnectionCount(), 0);
}

class X11SixteenBitScreen : public X11Fixture {
 protected:
  int screenDepth() const override { return 16; }
};

TEST_F(X11SixteenBitScreen, ShowsTheCanvasInFiveSixFiveBits) {
  const std::vector<raster::Pixel> colours{0xFFFFFF, 0xFF0000, 0xFFFF00, 0x7F7F7F, 0x000000, 0x0000FF};
  std::vector<raster::Pixel> pixels;
  for (std::int32_t y = 0; y < 10; ++y)
    for (raster::Pixel colour : colours)
      for (std::int32_t x = 0; x < 10; ++x) pixels.push_back(colour);
  raster::addImageResource(kBackgroundId, makeBmp(60, 10, pixels));
  openEditor(60, 10, [](Frame& frame) {
    Bitmap* background = new Bitmap(kBackgroundId);
    frame.setBackground(background);
    background->release();
  });
  ASSERT_TRUE(idleUntilPainted());
  XSync(display, False);
  XImage* image = XGetImage(display, frameWindowId(), 0, 0, 60, 10, AllPlanes, ZPixmap);
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->depth, 16);
  // Each channel keeps its top bits: 5 red, 6 green, 5 blue.
  const unsigned long expected[] = {0xFFFF, 0xF800, 0xFFE0, 0x7BEF, 0x0000, 0x001F};
  for (std::size_t i = 0; i < colours.size(); ++i)
    EXPECT_EQ(XGetPixel(image, static_cast<int>(i) * 10 + 5, 5), expected[i]) << "colour " << i;
  XDestroyImage(image);
}

class X11Clock : public ::testing::Test {};

TEST_F(X11Clock, TicksAdvanceAtLeastAsFarAsASleep) {
  std::uint32_t before = native::tickCount();
  native::sleepMilliseconds(20);
  EXPECT_GE(native::tickCount() - before, 20u);
  EXPECT_EQ(native::doubleClickTime(), 400u);
  EXPECT_EQ(native::mouseButtons(), 0) << "no connection, no buttons";
}

}  // namespace
}  // namespace brume::testing
