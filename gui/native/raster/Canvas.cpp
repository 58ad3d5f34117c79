#include "gui/native/raster/Canvas.h"

#include <algorithm>

namespace brume::raster {

Canvas::Canvas(std::int32_t width, std::int32_t height, Pixel fill)
    : columns(std::max(width, 0)),
      rows(std::max(height, 0)),
      pixels(static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows), fill) {}

Pixel Canvas::pixel(std::int32_t x, std::int32_t y) const {
  return contains(x, y) ? pixels[static_cast<std::size_t>(y) * columns + x] : 0;
}

void Canvas::setPixel(std::int32_t x, std::int32_t y, Pixel pixel) {
  if (contains(x, y)) pixels[static_cast<std::size_t>(y) * columns + x] = pixel;
}

void Canvas::blendPixel(std::int32_t x, std::int32_t y, Pixel pixel, std::uint32_t coverage) {
  if (!contains(x, y) || coverage == 0) return;
  if (coverage >= 255) {
    setPixel(x, y, pixel);
    return;
  }
  Pixel& present = pixels[static_cast<std::size_t>(y) * columns + x];
  Pixel mixed = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    std::uint32_t over = (pixel >> shift) & 0xFF;
    std::uint32_t under = (present >> shift) & 0xFF;
    mixed |= ((over * coverage + under * (255 - coverage) + 127) / 255) << shift;
  }
  present = mixed;
}

void Canvas::fill(const Rect& area, Pixel pixel) {
  std::int32_t left = std::max(area.left, 0);
  std::int32_t top = std::max(area.top, 0);
  std::int32_t right = std::min(area.right, columns);
  std::int32_t bottom = std::min(area.bottom, rows);
  for (std::int32_t y = top; y < bottom; ++y)
    std::fill(pixels.begin() + static_cast<std::ptrdiff_t>(y) * columns + left,
              pixels.begin() + static_cast<std::ptrdiff_t>(y) * columns + right, pixel);
}

}  // namespace brume::raster
