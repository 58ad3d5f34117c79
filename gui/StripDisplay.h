#pragma once
// A display-only control showing one frame of a vertical strip; it ignores the
// mouse. User-interface thread only.

#include "gui/Control.h"

namespace brume {

class StripDisplay : public Control {
 public:
  StripDisplay(const Rect& bounds, ControlListener* listener, std::int32_t tag, std::int32_t frameCount,
               std::int32_t frameHeight, Bitmap* strip, Point backgroundOffset);

  // A value above 1.0 is stored back as 1.0; frame trunc(value x (count - 1) + 0.5).
  void draw(DrawContext* context) override;

 protected:
  Point backgroundOffset;
  std::int32_t frameCount;
  std::int32_t frameHeight;
};

}  // namespace brume
