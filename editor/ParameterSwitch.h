#pragma once
// The editor's two-state switch: shows "on" only above 0.5, and keeps the
// value of a click even when the idle run during the click reloads the
// control from the instrument. User-interface thread only.

#include "gui/ToggleButton.h"

namespace brume {

class ParameterSwitch : public ToggleButton {
 public:
  ParameterSwitch(const Rect& bounds, ControlListener* listener, std::int32_t tag, Bitmap* background);

  void draw(DrawContext* context) override;
  void onMouseDown(DrawContext* context, Point where) override;
};

}  // namespace brume
