#pragma once
// Canvas pixels (0x00RRGGBB) to and from the pixel values of a TrueColor X
// visual of any depth: 24 and 32 bits copy directly, other layouts are
// converted channel by channel (truncating when a channel has fewer than 8 bits).

#include <cstdint>

#include "gui/Geometry.h"
#include "gui/native/raster/Canvas.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace brume::x11 {

struct PixelFormat {
  unsigned long redMask = 0xff0000;
  unsigned long greenMask = 0x00ff00;
  unsigned long blueMask = 0x0000ff;
  // Bits of the depth outside the three masks (the alpha of a 32-bit visual): set, so the pixels are opaque.
  unsigned long otherBits = 0;
  bool trueColour = true;
};

// The format of a visual of `depth` bits; trueColour is false for colour-mapped visuals.
PixelFormat pixelFormatOf(const Visual* visual, std::int32_t depth);

unsigned long nativePixel(raster::Pixel pixel, const PixelFormat& format);
raster::Pixel canvasPixel(unsigned long value, const PixelFormat& format);

// Writes `area` of the canvas into the image at the same position.
void convertToImage(const raster::Canvas& canvas, XImage& image, const Rect& area, const PixelFormat& format);

}  // namespace brume::x11
