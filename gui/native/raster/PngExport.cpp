#include "gui/native/raster/PngExport.h"

#include <png.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace brume::raster {

bool writePng(const Canvas& canvas, const std::string& path) {
  if (canvas.width() <= 0 || canvas.height() <= 0) return false;
  std::vector<std::uint8_t> rgb(static_cast<std::size_t>(canvas.width()) * canvas.height() * 3);
  std::size_t at = 0;
  for (std::int32_t y = 0; y < canvas.height(); ++y)
    for (std::int32_t x = 0; x < canvas.width(); ++x) {
      Pixel pixel = canvas.pixel(x, y);
      rgb[at++] = static_cast<std::uint8_t>(pixel >> 16);
      rgb[at++] = static_cast<std::uint8_t>(pixel >> 8);
      rgb[at++] = static_cast<std::uint8_t>(pixel);
    }
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(canvas.width());
  image.height = static_cast<png_uint_32>(canvas.height());
  image.format = PNG_FORMAT_RGB;
  bool written = png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), 0, nullptr) != 0;
  png_image_free(&image);
  return written;
}

}  // namespace brume::raster
