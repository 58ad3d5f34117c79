#pragma once
// A block of 32-bit pixels, 0x00RRGGBB, row by row from the top. The software
// renderer draws into it; the headless and X11 backends present it.

#include <cstdint>
#include <vector>

#include "gui/Colour.h"
#include "gui/Geometry.h"

namespace brume::raster {

using Pixel = std::uint32_t;

constexpr Pixel pixelOf(Colour colour) {
  return static_cast<Pixel>(colour.red) << 16 | static_cast<Pixel>(colour.green) << 8 | colour.blue;
}

constexpr Colour colourOf(Pixel pixel) {
  return Colour{static_cast<std::uint8_t>(pixel >> 16), static_cast<std::uint8_t>(pixel >> 8),
                static_cast<std::uint8_t>(pixel), 0};
}

class Canvas {
 public:
  Canvas() = default;
  Canvas(std::int32_t width, std::int32_t height, Pixel fill = 0);

  std::int32_t width() const { return columns; }
  std::int32_t height() const { return rows; }
  bool contains(std::int32_t x, std::int32_t y) const { return x >= 0 && y >= 0 && x < columns && y < rows; }
  Pixel pixel(std::int32_t x, std::int32_t y) const;           // 0 outside
  void setPixel(std::int32_t x, std::int32_t y, Pixel pixel);  // ignored outside
  // Mixes `pixel` over the present one; coverage 0 leaves it, 255 replaces it.
  void blendPixel(std::int32_t x, std::int32_t y, Pixel pixel, std::uint32_t coverage);
  void fill(const Rect& area, Pixel pixel);  // right and bottom excluded, clipped
  const Pixel* data() const { return pixels.data(); }
  Pixel* data() { return pixels.data(); }

 private:
  std::int32_t columns = 0;
  std::int32_t rows = 0;
  std::vector<Pixel> pixels;
};

}  // namespace brume::raster
