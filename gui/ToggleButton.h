#pragma once
// A two-state control drawn from one bitmap: the upper half for 0.0, the lower
// half for any other value. User-interface thread only.

#include "gui/Control.h"

namespace brume {

class ToggleButton : public Control {
 public:
  ToggleButton(const Rect& bounds, ControlListener* listener, std::int32_t tag, Bitmap* background);

  void draw(DrawContext* context) override;
  // A left press toggles: 0.0 when trunc(value) != 0, else 1.0.
  void onMouseDown(DrawContext* context, Point where) override;
};

}  // namespace brume
