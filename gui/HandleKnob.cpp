#include "gui/HandleKnob.h"

#include <cmath>

#include "gui/Bitmap.h"
#include "gui/DrawContext.h"
#include "gui/Frame.h"
#include "gui/MouseButtons.h"

namespace brume {
namespace {

constexpr float kPi = 3.14159265358979f;
constexpr float kTwoPi = 2.0f * kPi;
constexpr std::int32_t kDefaultInset = 3;
constexpr std::int32_t kLinearKnobMode = 2;
constexpr float kLinearPixelsPerRange = 200.0f;
constexpr std::int32_t kResetButtons = kLeftButton | kControlKey;

std::int32_t insetForBitmap(const Bitmap* bitmap) {
  return static_cast<std::int32_t>(bitmap->getWidth() * 0.5f + 2.5f);
}

float wrapOnce(float angle) {
  if (angle < 0.0f)
    angle += kTwoPi;
  else if (angle > kTwoPi)
    angle -= kTwoPi;
  return angle;
}

}  // namespace

HandleKnob::HandleKnob(const Rect& bounds, ControlListener* listener, std::int32_t tag, Bitmap* background,
                       Bitmap* pointerBitmap, Point backgroundOffset)
    : Control(bounds, listener, tag, background),
      backgroundOffset(backgroundOffset),
      pointerBitmap(pointerBitmap),
      pointerInset(pointerBitmap ? insetForBitmap(pointerBitmap) : kDefaultInset),
      startAngle(5.0f * kPi / 4.0f),
      sweepAngle(-3.0f * kPi / 2.0f),
      radius(static_cast<float>(bounds.right - bounds.left) * 0.5f) {
  if (pointerBitmap) pointerBitmap->retain();
  computeAngles();
}

HandleKnob::~HandleKnob() {
  if (pointerBitmap) pointerBitmap->release();
}

void HandleKnob::computeAngles() {
  deadZoneHalf = (kTwoPi - std::fabs(sweepAngle)) * 0.5f;
  valuePerRadian = (maximum - minimum) / sweepAngle;
  valueOffset = minimum - valuePerRadian * startAngle;
}

void HandleKnob::draw(DrawContext* context) {
  drawBitmap(context, background, backgroundOffset);
  drawPointer(context);
  markRedraw(false);
}

void HandleKnob::drawPointer(DrawContext* context) {
  if (!context) return;
  Point p;
  pointForValue(p);
  if (pointerBitmap) {
    std::int32_t w = pointerBitmap->getWidth();
    std::int32_t h = pointerBitmap->getHeight();
    std::int32_t left = bounds.left + p.x - w / 2;
    std::int32_t top = bounds.top + p.y - h / 2;
    pointerBitmap->drawKeyed(context, Rect{left, top, left + w, top + h}, Point{0, 0});
    return;
  }
  Point tip{bounds.left + p.x - 1, bounds.top + p.y};
  Point centre{bounds.left + (bounds.right - bounds.left) / 2 - 1, bounds.top + (bounds.bottom - bounds.top) / 2};
  context->setFrameColour(shadowColour);
  context->moveTo(tip);
  context->lineTo(centre);
  tip = tip + Point{1, -1};
  centre = centre + Point{1, -1};
  context->setFrameColour(pointerColour);
  context->moveTo(tip);
  context->lineTo(centre);
}

void HandleKnob::setStartAngle(float angle) {
  startAngle = angle;
  computeAngles();
  markRedraw(true);
}

float HandleKnob::getStartAngle() const { return startAngle; }

void HandleKnob::setSweepAngle(float angle) {
  sweepAngle = angle;
  computeAngles();
  markRedraw(true);
}

float HandleKnob::getSweepAngle() const { return sweepAngle; }

void HandleKnob::pointForValue(Point& point) const {
  float angle = (value - valueOffset) / valuePerRadian;
  float reach = radius - static_cast<float>(pointerInset);
  point.x = static_cast<std::int32_t>(radius + std::cos(angle) * reach + 0.5f);
  point.y = static_cast<std::int32_t>(radius - std::sin(angle) * reach + 0.5f);
}

float HandleKnob::valueAtPoint(Point point) const {
  float angle = std::atan2(radius - static_cast<float>(point.y), static_cast<float>(point.x) - radius);
  if (angle < 0.0f) angle += kTwoPi;
  if (sweepAngle >= 0.0f) {
    float fromMinimum = wrapOnce(angle - startAngle);
    if (fromMinimum > sweepAngle + deadZoneHalf) return minimum;
    if (fromMinimum > sweepAngle) return maximum;
    return minimum + valuePerRadian * fromMinimum;
  }
  // Measured from the maximum's position back towards the minimum.
  float fromMaximum = wrapOnce(angle - startAngle - sweepAngle);
  if (fromMaximum > deadZoneHalf - sweepAngle) return maximum;
  if (fromMaximum > -sweepAngle) return minimum;
  return maximum + valuePerRadian * fromMaximum;
}

void HandleKnob::setPointerInset(std::int32_t inset) { pointerInset = inset; }

void HandleKnob::setPointerShadowColour(Colour colour) {
  shadowColour = colour;
  markRedraw(true);
}

void HandleKnob::setPointerColour(Colour colour) {
  pointerColour = colour;
  markRedraw(true);
}

void HandleKnob::setPointerBitmap(Bitmap* bitmap) {
  if (pointerBitmap) pointerBitmap->release();
  pointerBitmap = bitmap;
  if (pointerBitmap) {
    pointerBitmap->retain();
    pointerInset = insetForBitmap(pointerBitmap);
  }
}

void HandleKnob::setFineFactor(float factor) { fineFactor = factor; }

float HandleKnob::getFineFactor() const { return fineFactor; }

void HandleKnob::onMouseDown(DrawContext* context, Point where) {
  if (!context || !isMouseActive()) return;
  std::int32_t buttons = context->mouseButtons();
  if (!(buttons & kLeftButton)) return;
  if (buttons == kResetButtons) {
    value = resetValue;
    reportIfChanged(context);
    return;
  }

  Frame* frame = getOwnerFrame();
  float halfRange = (maximum - minimum) * 0.5f;
  float base = value;
  std::int32_t previousButtons = buttons;
  bool alt = (buttons & kAltKey) != 0;
  bool linear = ((frame ? frame->knobMode() : 0) == kLinearKnobMode) != alt;
  auto divisorFor = [this](std::int32_t keys) {
    return keys & kShiftKey ? fineFactor * kLinearPixelsPerRange : kLinearPixelsPerRange;
  };
  float perPixel = 0.0f;
  Point anchor;
  float startValue = 0.0f;
  if (linear) {
    perPixel = (maximum - minimum) / divisorFor(buttons);
    anchor = where;
  } else {
    startValue = valueAtPoint(where - bounds.topLeft());
  }

  Point last{-1, -1};
  if (frame) {
    frame->notifyEditBegin(tag);
    frame->setFocusedView(this);
  }
  do {
    buttons = context->mouseButtons();
    if (where != last) {
      last = where;
      if (linear) {
        float delta = static_cast<float>((where.x - anchor.x) - (where.y - anchor.y));
        if (buttons != previousButtons) {
          // A new rate from here on, rebased so that the value does not jump.
          float newPerPixel = (maximum - minimum) / divisorFor(buttons);
          base += (perPixel - newPerPixel) * delta;
          perPixel = newPerPixel;
          previousButtons = buttons;
        }
        value = delta * perPixel + base;
        clampValue();
      } else {
        float pointed = valueAtPoint(where - bounds.topLeft());
        value = pointed;
        if (startValue - pointed > halfRange)
          value = maximum;
        else if (pointed - startValue > halfRange)
          value = minimum;
        else
          startValue = pointed;
      }
      reportIfChanged(context);
    }
    context->mousePosition(where);
    pumpIdle();
  } while (buttons & kLeftButton);
  if (frame) frame->notifyEditEnd(tag);
}

bool HandleKnob::onWheelTurn(DrawContext* context, Point, float distance) {
  if (!isMouseActive()) return false;
  float change = distance * step;
  if (buttonsFrom(context) & kShiftKey) change *= 0.1f;
  value += change;
  clampValue();
  reportIfChanged(context);
  return true;
}

VstInt32 HandleKnob::onKeyPress(KeyCode key) {
  float direction;
  switch (key.virtualKey) {
    case 11:  // left arrow
    case 14:  // down arrow
      direction = -1.0f;
      break;
    case 12:  // up arrow
    case 13:  // right arrow
      direction = 1.0f;
      break;
    default:
      return -1;
  }
  float change = direction * step;
  if (key.modifiers & 1) change *= 0.1f;  // shift
  value += change;
  clampValue();
  reportIfChanged(nullptr);
  return 1;
}

}  // namespace brume
