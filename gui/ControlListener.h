#pragma once

namespace brume {

class Control;
class DrawContext;

// Told when the user changes a control. User-interface thread; the context may be null.
class ControlListener {
 public:
  virtual void onControlChanged(DrawContext* context, Control* control) = 0;

 protected:
  ~ControlListener() = default;
};

}  // namespace brume
