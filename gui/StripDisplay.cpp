#include "gui/StripDisplay.h"

#include <cmath>

namespace brume {

StripDisplay::StripDisplay(const Rect& bounds, ControlListener* listener, std::int32_t tag, std::int32_t frameCount,
                           std::int32_t frameHeight, Bitmap* strip, Point backgroundOffset)
    : Control(bounds, listener, tag, strip),
      backgroundOffset(backgroundOffset),
      frameCount(frameCount),
      frameHeight(frameHeight) {}

void StripDisplay::draw(DrawContext* context) {
  if (value > 1.0f) value = 1.0f;
  Point source = backgroundOffset;
  if (value > 0.0f)
    source.y += static_cast<std::int32_t>(std::trunc(value * static_cast<float>(frameCount - 1) + 0.5f)) * frameHeight;
  drawBitmap(context, background, source);
  markRedraw(false);
}

}  // namespace brume
