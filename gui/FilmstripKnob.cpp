#include "gui/FilmstripKnob.h"

#include <cmath>

namespace brume {

FilmstripKnob::FilmstripKnob(const Rect& bounds, ControlListener* listener, std::int32_t tag, std::int32_t frameCount,
                             std::int32_t frameHeight, Bitmap* strip, Point backgroundOffset)
    : HandleKnob(bounds, listener, tag, strip, nullptr, backgroundOffset),
      frameCount(frameCount),
      frameHeight(frameHeight) {}

FilmstripKnob::~FilmstripKnob() = default;

std::int32_t FilmstripKnob::stripOffset() const {
  if (!(value >= 0.0f) || frameHeight <= 0) return 0;
  std::int32_t span = (frameCount - 1) * frameHeight;
  float scaled = std::trunc(value * static_cast<float>(span));
  if (!(scaled < static_cast<float>(span))) return static_cast<std::int32_t>(std::fmin(scaled, 2.0e9f));
  std::int32_t y = static_cast<std::int32_t>(scaled);
  return y / frameHeight * frameHeight;
}

void FilmstripKnob::draw(DrawContext* context) {
  drawBitmap(context, background, Point{0, stripOffset()});
  markRedraw(false);
}

}  // namespace brume
