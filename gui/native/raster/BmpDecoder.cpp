#include "gui/native/raster/BmpDecoder.h"

namespace brume::raster {
namespace {

constexpr std::int32_t kMaximumSide = 16384;

std::uint32_t read32(const std::uint8_t* at) {
  return static_cast<std::uint32_t>(at[0]) | static_cast<std::uint32_t>(at[1]) << 8 |
         static_cast<std::uint32_t>(at[2]) << 16 | static_cast<std::uint32_t>(at[3]) << 24;
}

std::uint16_t read16(const std::uint8_t* at) { return static_cast<std::uint16_t>(at[0] | at[1] << 8); }

}  // namespace

bool decodeBmp(const std::uint8_t* data, std::size_t size, Canvas& image) {
  if (!data || size < 54 || data[0] != 'B' || data[1] != 'M') return false;
  std::uint32_t pixelOffset = read32(data + 10);
  std::uint32_t headerSize = read32(data + 14);
  if (headerSize < 40) return false;
  std::int32_t width = static_cast<std::int32_t>(read32(data + 18));
  std::int32_t height = static_cast<std::int32_t>(read32(data + 22));
  std::uint16_t bitsPerPixel = read16(data + 28);
  std::uint32_t compression = read32(data + 30);
  if (compression != 0 || (bitsPerPixel != 24 && bitsPerPixel != 32)) return false;
  bool bottomUp = height > 0;
  if (!bottomUp) height = -height;
  if (width <= 0 || height <= 0 || width > kMaximumSide || height > kMaximumSide) return false;

  std::size_t bytesPerPixel = bitsPerPixel / 8;
  std::size_t stride = (static_cast<std::size_t>(width) * bytesPerPixel + 3) & ~static_cast<std::size_t>(3);
  if (pixelOffset > size || stride * static_cast<std::size_t>(height) > size - pixelOffset) return false;

  Canvas decoded(width, height);
  for (std::int32_t row = 0; row < height; ++row) {
    const std::uint8_t* line = data + pixelOffset + stride * static_cast<std::size_t>(row);
    std::int32_t y = bottomUp ? height - 1 - row : row;
    for (std::int32_t x = 0; x < width; ++x) {
      const std::uint8_t* p = line + static_cast<std::size_t>(x) * bytesPerPixel;
      decoded.setPixel(x, y, static_cast<Pixel>(p[2]) << 16 | static_cast<Pixel>(p[1]) << 8 | p[0]);
    }
  }
  image = std::move(decoded);
  return true;
}

}  // namespace brume::raster
