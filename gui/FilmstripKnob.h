#pragma once
// A knob shown as one frame of a vertical strip of images, lowest value on
// top; it drags, turns and steps like a HandleKnob. User-interface thread only.

#include "gui/HandleKnob.h"

namespace brume {

class FilmstripKnob : public HandleKnob {
 public:
  FilmstripKnob(const Rect& bounds, ControlListener* listener, std::int32_t tag, std::int32_t frameCount,
                std::int32_t frameHeight, Bitmap* strip, Point backgroundOffset);

  // Values below 1.0 share the first frameCount - 1 frames; only the maximum shows the last.
  void draw(DrawContext* context) override;
  // The strip's top pixel row for the current value.
  std::int32_t stripOffset() const;

 protected:
  ~FilmstripKnob() override;

  std::int32_t frameCount;
  std::int32_t frameHeight;
};

}  // namespace brume
