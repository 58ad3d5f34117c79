#include "gui/Bitmap.h"

#include "gui/DrawContext.h"

namespace brume {

Bitmap::Bitmap(std::int32_t resourceId) : resourceId(resourceId) {
  image = native::loadImage(resourceId & 0xFFFF);
  if (image) native::imageSize(image, width, height);
}

Bitmap::~Bitmap() {
  native::deleteImage(image);
  native::deleteMask(mask);
}

void Bitmap::retain() { ++references; }

void Bitmap::release() {
  if (references <= 0) return;
  if (--references == 0) delete this;
}

void Bitmap::setTransparentColour(Colour colour) { transparentColour = colour; }

void Bitmap::drawOpaque(DrawContext* context, const Rect& destination, Point source) {
  if (!image || !context || !context->surface()) return;
  native::copyImage(context->surface(), image, destination.movedBy(context->getOffset()), source);
}

void Bitmap::drawKeyed(DrawContext* context, const Rect& destination, Point source) {
  if (!image || !context || !context->surface()) return;
  if (!mask) mask = native::createMask(context->surface(), image, transparentColour);
  if (!mask) return;
  native::copyImageKeyed(context->surface(), image, mask, destination.movedBy(context->getOffset()), source);
}

}  // namespace brume
