#pragma once
// An image loaded from the module's numbered bitmap resources, reference
// counted, drawn opaquely or with one colour left out. User-interface thread only.

#include <cstdint>

#include "gui/Colour.h"
#include "gui/Geometry.h"
#include "gui/native/NativePlatform.h"

namespace brume {

class DrawContext;

class Bitmap {
 public:
  // Loads resource number (resourceId & 0xFFFF); a missing one leaves a 0 by 0 bitmap that draws nothing.
  explicit Bitmap(std::int32_t resourceId);
  Bitmap(const Bitmap&) = delete;
  Bitmap& operator=(const Bitmap&) = delete;

  void retain();
  void release();  // frees the bitmap when the last reference goes
  std::int32_t referenceCount() const { return references; }

  // Stored only: a mask made by an earlier keyed draw is kept as it is.
  void setTransparentColour(Colour colour);
  Colour getTransparentColour() const { return transparentColour; }
  // Copies destination.width() x destination.height() pixels from `source`
  // to the destination moved by the context's offset.
  void drawOpaque(DrawContext* context, const Rect& destination, Point source);
  // The same, leaving the destination where the image has the transparent colour.
  void drawKeyed(DrawContext* context, const Rect& destination, Point source);

  std::int32_t getResourceId() const { return resourceId; }
  std::int32_t getWidth() const { return width; }
  std::int32_t getHeight() const { return height; }
  bool isLoaded() const { return image != nullptr; }
  bool hasMask() const { return mask != nullptr; }

 private:
  ~Bitmap();

  std::int32_t resourceId;
  std::int32_t references = 1;
  std::int32_t width = 0;
  std::int32_t height = 0;
  Colour transparentColour = kDefaultTransparentColour;
  native::Image* image = nullptr;
  native::Mask* mask = nullptr;
};

}  // namespace brume
