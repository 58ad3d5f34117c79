// Knobs, switches and strips: angles, drags, reset, wheel, keys and the frame each draws.

#include <cmath>

#include "GuiTestSupport.h"
#include "gui/Bitmap.h"
#include "gui/FilmstripKnob.h"
#include "gui/HandleKnob.h"
#include "gui/MouseButtons.h"
#include "gui/StripDisplay.h"
#include "gui/ToggleButton.h"

namespace brume::testing {
namespace {

constexpr Rect kKnobBounds{100, 20, 140, 60};  // 40 pixels: radius 20
constexpr Point kKnobTopLeft{100, 20};

class KnobTest : public GuiFixture {
 protected:
  HandleKnob* addKnob(float value, const Rect& bounds = kKnobBounds) {
    auto* knob = new HandleKnob(bounds, &listener, 9, nullptr, nullptr, Point{});
    knob->setValue(value);
    frame()->addView(knob);
    return knob;
  }
  Point onKnob(Point relative) const { return relative + kKnobTopLeft; }

  RecordingListener listener;
};

// A strip of `frames` images of `frameHeight` rows, one pixel wide; image n has red n.
Bitmap* loadStrip(std::int32_t id, std::int32_t frames, std::int32_t frameHeight) {
  std::vector<raster::Pixel> pixels;
  for (std::int32_t frame = 0; frame < frames; ++frame)
    for (std::int32_t row = 0; row < frameHeight; ++row)
      pixels.push_back(static_cast<raster::Pixel>(frame) << 16 | 0x80);
  raster::addImageResource(id, makeBmp(1, frames * frameHeight, pixels));
  return new Bitmap(id);
}

std::int32_t frameShownAt(const raster::Canvas& canvas, Point where) {
  return static_cast<std::int32_t>(canvas.pixel(where.x, where.y) >> 16);
}

TEST_F(KnobTest, ValueAtPointFollowsTheDefaultSweep) {
  HandleKnob* knob = addKnob(0.0f);
  EXPECT_NEAR(knob->valueAtPoint({20, 0}), 0.5f, 1e-5f) << "straight up";
  EXPECT_NEAR(knob->valueAtPoint({0, 20}), 1.0f / 6.0f, 1e-5f) << "left";
  EXPECT_NEAR(knob->valueAtPoint({40, 20}), 5.0f / 6.0f, 1e-5f) << "right";
  EXPECT_EQ(knob->valueAtPoint({21, 40}), 1.0f) << "down, right of the centre line";
  EXPECT_EQ(knob->valueAtPoint({19, 40}), 0.0f) << "down, left of the centre line";
}

TEST_F(KnobTest, PointForValueIsTheInverseAtTheEndsAndMiddle) {
  HandleKnob* knob = addKnob(0.5f);
  Point p;
  knob->pointForValue(p);
  EXPECT_EQ(p, (Point{20, 3})) << "up, three pixels in from the rim";
  knob->setValue(0.0f);
  knob->pointForValue(p);
  EXPECT_EQ(p, (Point{8, 32})) << "bottom left: 20 - 17 cos 45 deg, rounded";
  knob->setValue(1.0f);
  knob->pointForValue(p);
  EXPECT_EQ(p, (Point{32, 32}));
}

TEST_F(KnobTest, LinearDragOfHundredRightAndUpCoversTheRange) {
  editor->setKnobMode(2);
  HandleKnob* knob = addKnob(0.0f);
  drag(onKnob({20, 20}), {onKnob({70, -30}), onKnob({120, -80})});
  EXPECT_FLOAT_EQ(knob->getValue(), 1.0f);
  ASSERT_FALSE(listener.values.empty());
  EXPECT_FLOAT_EQ(listener.values.front(), 0.0f);
  EXPECT_FLOAT_EQ(listener.values.back(), 1.0f);

  knob->setValue(0.0f);
  drag(onKnob({20, 20}), {onKnob({120, -80})}, kShiftKey);
  EXPECT_NEAR(knob->getValue(), 2.0f / 3.0f, 1e-6f) << "shift slows the drag by the fine factor 1.5";
}

TEST_F(KnobTest, LinearDragClampsAndAltSwapsTheMode) {
  HandleKnob* knob = addKnob(0.5f);
  // Knob mode 0 is circular; alt makes it linear.
  drag(onKnob({20, 20}), {onKnob({20, 200})}, kAltKey);
  EXPECT_EQ(knob->getValue(), 0.0f);
}

TEST_F(KnobTest, ShiftPressedMidDragChangesTheRateWithoutAJump) {
  editor->setKnobMode(2);
  HandleKnob* knob = addKnob(0.2f);
  Point start = onKnob({20, 20});
  dragWithKeys(start,
               {{start + Point{50, 0}, 0}, {start + Point{80, 0}, kShiftKey}, {start + Point{110, 0}, kShiftKey}}, 0);
  // The poll that first sees shift processes the 50-pixel position: the rate becomes
  // 1/300 there, rebased so that the value stays 0.2 + 50/200; each further 30 pixels add 0.1.
  // Without the rebase the value would fall back to 0.2 + 50/300.
  std::vector<float> expected{0.2f, 0.45f, 0.55f, 0.65f};
  ASSERT_EQ(listener.values.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i)
    EXPECT_NEAR(listener.values[i], expected[i], 1e-5f) << "first difference at step " << i;
  EXPECT_NEAR(knob->getValue(), 0.65f, 1e-5f);
}

TEST_F(KnobTest, CircularDragPinsAtTheMaximumInTheDeadZone) {
  HandleKnob* knob = addKnob(0.0f);
  drag(onKnob({20, 0}), {onKnob({40, 20}), onKnob({21, 40}), onKnob({19, 40}), onKnob({0, 20}), onKnob({30, 0})});
  // Up 0.5, right 5/6, just past the maximum 1.0; the minimum's side of the dead zone and the
  // left stay pinned at 1.0 (reported again, as nothing was drawn in between) until the
  // pointer is back within half the range: (30, 0) is about 0.6.
  float back = knob->valueAtPoint({30, 0});
  std::vector<float> expected{0.5f, 5.0f / 6.0f, 1.0f, 1.0f, 1.0f, back};
  ASSERT_EQ(listener.values.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i)
    EXPECT_NEAR(listener.values[i], expected[i], 1e-5f) << "first difference at step " << i;
  EXPECT_EQ(knob->getValue(), back);
  EXPECT_GT(knob->getValue(), 0.5f);
}

TEST_F(KnobTest, DragIsFramedByEditBeginAndEndAndTakesTheFocus) {
  HandleKnob* knob = addKnob(0.0f);
  drag(onKnob({20, 0}), {onKnob({40, 20})});
  std::vector<VstInt32> edits;
  for (const HostCall& call : hostCalls())
    if (call.opcode == kHostBeginEdit || call.opcode == kHostEndEdit) {
      edits.push_back(call.opcode);
      EXPECT_EQ(call.index, 9) << "the knob's tag";
    }
  EXPECT_EQ(edits, (std::vector<VstInt32>{kHostBeginEdit, kHostEndEdit}));
  EXPECT_EQ(frame()->focusedView(), knob);
  EXPECT_EQ(headless::queuedInputStateCount(), 0u) << "the drag loop read every scripted state";
}

TEST_F(KnobTest, ControlClickResetsOnlyWithExactlyLeftAndControl) {
  HandleKnob* knob = addKnob(0.9f);
  headless::pressButton(window(), onKnob({40, 20}), kLeftButton | kControlKey);
  EXPECT_EQ(knob->getValue(), 0.5f);
  EXPECT_EQ(listener.values, std::vector<float>{0.5f});
  EXPECT_EQ(countHostCalls(kHostBeginEdit), 0);

  knob->setValue(0.9f);
  drag(onKnob({40, 20}), {}, kControlKey | kShiftKey);
  EXPECT_NEAR(knob->getValue(), 5.0f / 6.0f, 1e-5f) << "a circular drag, not a reset";
  EXPECT_EQ(countHostCalls(kHostBeginEdit), 1);
}

TEST_F(KnobTest, RightPressChangesNothing) {
  HandleKnob* knob = addKnob(0.3f);
  headless::pressButton(window(), onKnob({40, 20}), kRightButton);
  EXPECT_EQ(knob->getValue(), 0.3f);
  EXPECT_TRUE(listener.values.empty());
}

TEST_F(KnobTest, WheelStepsAndClamps) {
  HandleKnob* knob = addKnob(0.2f);
  headless::setInputState({0, screen(onKnob({20, 20}))});
  EXPECT_TRUE(editor->onWheelTurn(1.0f));
  EXPECT_NEAR(knob->getValue(), 0.3f, 1e-6f);
  headless::setInputState({kShiftKey, screen(onKnob({20, 20}))});
  EXPECT_TRUE(editor->onWheelTurn(-2.0f));
  EXPECT_NEAR(knob->getValue(), 0.28f, 1e-6f) << "shift makes a step a tenth";
  headless::setInputState({0, screen(onKnob({20, 20}))});
  editor->onWheelTurn(50.0f);
  EXPECT_EQ(knob->getValue(), 1.0f);
  knob->setMouseActive(false);
  EXPECT_FALSE(editor->onWheelTurn(-1.0f));
}

TEST_F(KnobTest, ArrowKeysReachTheFocusedKnobFirst) {
  HandleKnob* lower = addKnob(0.5f);
  HandleKnob* upper = addKnob(0.5f, Rect{10, 10, 50, 50});
  EXPECT_EQ(editor->onKeyPress(KeyCode{0, 12, 0}), 1);
  EXPECT_NEAR(upper->getValue(), 0.6f, 1e-6f) << "without a focus the topmost knob answers";

  drag(onKnob({20, 0}), {});
  EXPECT_EQ(frame()->focusedView(), lower);
  EXPECT_EQ(editor->onKeyPress(KeyCode{0, 11, 0}), 1);
  EXPECT_NEAR(lower->getValue(), 0.4f, 1e-6f);
  EXPECT_EQ(editor->onKeyPress(KeyCode{0, 13, 1}), 1);
  EXPECT_NEAR(lower->getValue(), 0.41f, 1e-6f) << "shift makes a step a tenth";
  EXPECT_EQ(editor->onKeyPress(KeyCode{0, 14, 0}), 1);
  EXPECT_NEAR(lower->getValue(), 0.31f, 1e-6f);
  EXPECT_EQ(lower->onKeyPress(KeyCode{'a', 0, 0}), -1);
  EXPECT_NEAR(upper->getValue(), 0.6f, 1e-6f);
}

TEST_F(KnobTest, ToggleButtonTogglesOnTruncatedValueAndDrawsHalves) {
  raster::addImageResource(300, makeBmp(1, 4, {0x0000FF, 0x0000FF, 0xFF0000, 0xFF0000}));
  Bitmap* bitmap = new Bitmap(300);
  auto* button = new ToggleButton(Rect{10, 10, 11, 12}, &listener, 4, bitmap);
  bitmap->release();
  frame()->addView(button);
  paintAll();

  button->setValue(0.5f);
  frame()->paintNow(button);
  EXPECT_EQ(canvas().pixel(10, 10), 0xFF0000u) << "any value but 0.0 shows the lower half";

  headless::pressButton(window(), {10, 10});
  EXPECT_EQ(button->getValue(), 1.0f) << "trunc(0.5) is 0";
  headless::pressButton(window(), {10, 10});
  EXPECT_EQ(button->getValue(), 0.0f);
  EXPECT_EQ(listener.values, (std::vector<float>{1.0f, 0.0f}));
  frame()->paintNow(button);
  EXPECT_EQ(canvas().pixel(10, 11), 0x0000FFu);

  headless::pressButton(window(), {10, 10}, kMiddleButton);
  EXPECT_EQ(button->getValue(), 0.0f);
}

TEST_F(KnobTest, FilmstripShowsTheLastFrameOnlyAtTheMaximum) {
  Bitmap* strip = loadStrip(301, 56, 32);
  auto* knob = new FilmstripKnob(Rect{5, 5, 6, 37}, &listener, 1, 55, 32, strip, Point{40, 40});
  strip->release();
  frame()->addView(knob);
  const std::pair<float, std::int32_t> cases[] = {{0.0f, 0}, {0.5f, 27}, {0.999f, 53}, {1.0f, 54}};
  for (const auto& [value, expected] : cases) {
    knob->setValue(value);
    frame()->paintNow(knob);
    EXPECT_EQ(frameShownAt(canvas(), {5, 5}), expected) << "value " << value;
    EXPECT_EQ(frameShownAt(canvas(), {5, 36}), expected) << "value " << value << ", last row";
    EXPECT_FALSE(knob->needsRedraw());
  }
}

TEST_F(KnobTest, StripDisplayRoundsToTheNearestFrameAndStoresOverflowAsOne) {
  Bitmap* strip = loadStrip(302, 17, 2);
  auto* meter = new StripDisplay(Rect{5, 5, 6, 7}, nullptr, 100, 17, 2, strip, Point{0, 0});
  strip->release();
  frame()->addView(meter);
  const std::pair<float, std::int32_t> cases[] = {{0.0f, 0}, {1.0f / 16.0f, 1}, {0.5f, 8}, {1.0f, 16}, {1.5f, 16}};
  for (const auto& [value, expected] : cases) {
    meter->setValue(value);
    frame()->paintNow(meter);
    EXPECT_EQ(frameShownAt(canvas(), {5, 5}), expected) << "value " << value;
  }
  EXPECT_EQ(meter->getValue(), 1.0f);
}

TEST_F(KnobTest, KeyedControlLeavesTheTransparentColourOut) {
  raster::addImageResource(303, makeBmp(2, 1, {0xFFFF00, 0x00FF00}));
  Bitmap* bitmap = new Bitmap(303);
  bitmap->setTransparentColour(kYellowColour);
  auto* button = new ToggleButton(Rect{10, 10, 12, 11}, nullptr, 0, bitmap);
  bitmap->release();
  button->setTransparent(true);
  frame()->addView(button);
  canvas().fill(Rect{0, 0, 20, 20}, 0x123456);
  frame()->paintNow(button);
  EXPECT_EQ(canvas().pixel(10, 10), 0x123456u);
  EXPECT_EQ(canvas().pixel(11, 10), 0x00FF00u);
}

}  // namespace
}  // namespace brume::testing
