#pragma once
// An RGB image held in floating point while it is painted, so that layers of
// anti-aliased shapes and text blend without rounding at every step. Channels
// run 0..255; the BMP writer rounds them once at the end.

#include <vector>

namespace brume::bitmaps {

struct Colour {
  double red = 0.0;
  double green = 0.0;
  double blue = 0.0;
};

// t = 0 gives a, t = 1 gives b.
Colour mix(Colour a, Colour b, double t);
// factor above 1 lightens towards white, below 1 darkens towards black.
Colour shade(Colour colour, double factor);
bool operator==(Colour a, Colour b);

// Half-open pixel rectangle: left <= x < right, top <= y < bottom.
struct PixelRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};

class Raster {
 public:
  Raster(int width, int height, Colour fill);

  int width() const { return pixelWidth; }
  int height() const { return pixelHeight; }
  bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < pixelWidth && y < pixelHeight; }

  Colour at(int x, int y) const { return pixels[index(x, y)]; }
  void set(int x, int y, Colour colour);
  // Lays colour over the pixel with the given opacity (0..1); outside pixels are ignored.
  void blend(int x, int y, Colour colour, double opacity);
  void fillRect(PixelRect rect, Colour colour);
  // Copies the whole of source with its top-left at (left, top), clipped to this raster.
  void paste(const Raster& source, int left, int top);
  // The part of this raster inside rect, as a raster of its own.
  Raster crop(PixelRect rect) const;

 private:
  int index(int x, int y) const { return y * pixelWidth + x; }

  int pixelWidth;
  int pixelHeight;
  std::vector<Colour> pixels;
};

}  // namespace brume::bitmaps
