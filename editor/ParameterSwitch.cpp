#include "editor/ParameterSwitch.h"

#include <cmath>

#include "gui/Bitmap.h"
#include "gui/DrawContext.h"
#include "gui/MouseButtons.h"

namespace brume {

ParameterSwitch::ParameterSwitch(const Rect& bounds, ControlListener* listener, std::int32_t tag, Bitmap* background)
    : ToggleButton(bounds, listener, tag, background) {}

void ParameterSwitch::draw(DrawContext* context) {
  if (background) drawBitmap(context, background, Point{0, value > 0.5f ? background->getHeight() / 2 : 0});
  markRedraw(false);
}

void ParameterSwitch::onMouseDown(DrawContext* context, Point) {
  if (!isMouseActive() || !(buttonsFrom(context) & kLeftButton)) return;
  const float toggled = std::trunc(value) != 0.0f ? 0.0f : 1.0f;
  value = toggled;
  // A pending refresh run here may reload the instrument's old value.
  pumpIdle();
  value = toggled;
  if (listener) listener->onControlChanged(context, this);
}

}  // namespace brume
