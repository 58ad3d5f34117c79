#include "Raster.h"

#include <algorithm>

namespace brume::bitmaps {

Colour mix(Colour a, Colour b, double t) {
  return {a.red + (b.red - a.red) * t, a.green + (b.green - a.green) * t, a.blue + (b.blue - a.blue) * t};
}

Colour shade(Colour colour, double factor) {
  if (factor >= 1.0) return mix(colour, Colour{255.0, 255.0, 255.0}, factor - 1.0);
  return mix(Colour{0.0, 0.0, 0.0}, colour, std::max(factor, 0.0));
}

bool operator==(Colour a, Colour b) { return a.red == b.red && a.green == b.green && a.blue == b.blue; }

Raster::Raster(int width, int height, Colour fill)
    : pixelWidth(std::max(width, 0)),
      pixelHeight(std::max(height, 0)),
      pixels(static_cast<std::size_t>(pixelWidth) * static_cast<std::size_t>(pixelHeight), fill) {}

void Raster::set(int x, int y, Colour colour) {
  if (contains(x, y)) pixels[index(x, y)] = colour;
}

void Raster::blend(int x, int y, Colour colour, double opacity) {
  if (!contains(x, y) || opacity <= 0.0) return;
  Colour& pixel = pixels[index(x, y)];
  pixel = mix(pixel, colour, std::min(opacity, 1.0));
}

void Raster::fillRect(PixelRect rect, Colour colour) {
  for (int y = std::max(rect.top, 0); y < std::min(rect.bottom, pixelHeight); ++y)
    for (int x = std::max(rect.left, 0); x < std::min(rect.right, pixelWidth); ++x) pixels[index(x, y)] = colour;
}

void Raster::paste(const Raster& source, int left, int top) {
  for (int y = 0; y < source.height(); ++y)
    for (int x = 0; x < source.width(); ++x) set(left + x, top + y, source.at(x, y));
}

Raster Raster::crop(PixelRect rect) const {
  Raster part(rect.right - rect.left, rect.bottom - rect.top, Colour{});
  for (int y = 0; y < part.height(); ++y)
    for (int x = 0; x < part.width(); ++x)
      if (contains(rect.left + x, rect.top + y)) part.set(x, y, at(rect.left + x, rect.top + y));
  return part;
}

}  // namespace brume::bitmaps
