#include "gui/ToggleButton.h"

#include <cmath>

#include "gui/Bitmap.h"
#include "gui/DrawContext.h"
#include "gui/MouseButtons.h"

namespace brume {

ToggleButton::ToggleButton(const Rect& bounds, ControlListener* listener, std::int32_t tag, Bitmap* background)
    : Control(bounds, listener, tag, background) {}

void ToggleButton::draw(DrawContext* context) {
  if (background) drawBitmap(context, background, Point{0, value == 0.0f ? 0 : background->getHeight() / 2});
  markRedraw(false);
}

void ToggleButton::onMouseDown(DrawContext* context, Point) {
  if (!isMouseActive() || !(buttonsFrom(context) & kLeftButton)) return;
  value = std::trunc(value) != 0.0f ? 0.0f : 1.0f;
  pumpIdle();
  if (listener) listener->onControlChanged(context, this);
}

}  // namespace brume
