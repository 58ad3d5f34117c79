#pragma once
// The software renderer's drawing objects and device contexts. They complete
// the opaque handles of NativePlatform.h for every backend that draws in
// software (headless, X11); such a backend makes a surface per device context
// on the canvas of its window.

#include <cstdint>
#include <vector>

#include "gui/native/NativePlatform.h"
#include "gui/native/raster/Canvas.h"

namespace brume::native {

struct Pen {
  PenStyle style = PenStyle::solid;
  std::int32_t width = 1;
  Colour colour;
  bool stock = false;  // never deleted
};

struct Brush {
  Colour colour;
  bool stock = false;
};

struct Font {
  FontDescription description;
  bool stock = false;
};

struct Image {
  raster::Canvas pixels;
};

struct Mask {
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::vector<std::uint8_t> transparent;  // 1 where the image had the key colour
};

// A device context: a canvas and what is selected into it, starting as a
// fresh GDI context does (black pen, white brush, system font, opaque white
// text background, black text).
struct Surface {
  raster::Canvas* canvas = nullptr;
  Pen* pen = nullptr;
  Brush* brush = nullptr;
  Font* font = nullptr;
  Point position;
  bool opaqueBackground = true;
  Colour backgroundColour = kWhiteColour;
  Colour textColour = kBlackColour;
};

}  // namespace brume::native

namespace brume::raster {

native::Surface* createSurface(Canvas& canvas);
void destroySurface(native::Surface* surface);

}  // namespace brume::raster
