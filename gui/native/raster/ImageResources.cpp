// The image part of the native layer for software backends: numbered
// bitmaps, masks and the opaque and colour-keyed block copies.

#include "gui/native/raster/ImageResources.h"

#include <map>
#include <new>

#include "gui/native/raster/BmpDecoder.h"
#include "gui/native/raster/RasterObjects.h"
#include "resources/EmbeddedBitmaps.h"

namespace brume {
namespace {

std::map<std::int32_t, std::vector<std::uint8_t>>& addedResources() {
  static std::map<std::int32_t, std::vector<std::uint8_t>> resources;
  return resources;
}

// Calls visit(destination x, y, source x, y) for every pixel of the block
// that lies inside both the canvas and the image.
template <typename Visit>
void forEachBlockPixel(const raster::Canvas& canvas, const raster::Canvas& image, const Rect& destination, Point source,
                       Visit visit) {
  for (std::int32_t dy = 0; dy < destination.height(); ++dy) {
    std::int32_t y = destination.top + dy;
    std::int32_t sy = source.y + dy;
    if (y < 0 || y >= canvas.height() || sy < 0 || sy >= image.height()) continue;
    for (std::int32_t dx = 0; dx < destination.width(); ++dx) {
      std::int32_t x = destination.left + dx;
      std::int32_t sx = source.x + dx;
      if (x < 0 || x >= canvas.width() || sx < 0 || sx >= image.width()) continue;
      visit(x, y, sx, sy);
    }
  }
}

}  // namespace

namespace raster {

void addImageResource(std::int32_t id, std::vector<std::uint8_t> bmpFile) { addedResources()[id] = std::move(bmpFile); }

void clearImageResources() { addedResources().clear(); }

const Canvas* imagePixels(const native::Image* image) { return image ? &image->pixels : nullptr; }

}  // namespace raster

namespace native {

Image* loadImage(std::int32_t resourceId) {
  const std::uint8_t* data = nullptr;
  std::size_t size = 0;
  auto added = addedResources().find(resourceId);
  if (added != addedResources().end()) {
    data = added->second.data();
    size = added->second.size();
  } else if (const EmbeddedBitmap* embedded = findEmbeddedBitmap(resourceId)) {
    data = embedded->data;
    size = embedded->size;
  }
  raster::Canvas pixels;
  if (!raster::decodeBmp(data, size, pixels)) return nullptr;
  Image* image = new (std::nothrow) Image;
  if (image) image->pixels = std::move(pixels);
  return image;
}

void imageSize(Image* image, std::int32_t& width, std::int32_t& height) {
  width = image ? image->pixels.width() : 0;
  height = image ? image->pixels.height() : 0;
}

void deleteImage(Image* image) { delete image; }

Mask* createMask(Surface*, Image* image, Colour transparent) {
  if (!image) return nullptr;
  Mask* mask = new (std::nothrow) Mask;
  if (!mask) return nullptr;
  const raster::Canvas& pixels = image->pixels;
  mask->width = pixels.width();
  mask->height = pixels.height();
  mask->transparent.resize(static_cast<std::size_t>(mask->width) * static_cast<std::size_t>(mask->height));
  raster::Pixel key = raster::pixelOf(transparent);
  for (std::int32_t y = 0; y < mask->height; ++y)
    for (std::int32_t x = 0; x < mask->width; ++x)
      mask->transparent[static_cast<std::size_t>(y) * mask->width + x] = pixels.pixel(x, y) == key ? 1 : 0;
  return mask;
}

void deleteMask(Mask* mask) { delete mask; }

void copyImage(Surface* surface, Image* image, const Rect& destination, Point source) {
  if (!surface || !surface->canvas || !image) return;
  raster::Canvas& canvas = *surface->canvas;
  const raster::Canvas& pixels = image->pixels;
  forEachBlockPixel(canvas, pixels, destination, source,
                    [&](std::int32_t x, std::int32_t y, std::int32_t sx, std::int32_t sy) {
                      canvas.setPixel(x, y, pixels.pixel(sx, sy));
                    });
}

void copyImageKeyed(Surface* surface, Image* image, Mask* mask, const Rect& destination, Point source) {
  if (!surface || !surface->canvas || !image || !mask) return;
  raster::Canvas& canvas = *surface->canvas;
  const raster::Canvas& pixels = image->pixels;
  forEachBlockPixel(canvas, pixels, destination, source,
                    [&](std::int32_t x, std::int32_t y, std::int32_t sx, std::int32_t sy) {
                      bool keyed = sx < mask->width && sy < mask->height &&
                                   mask->transparent[static_cast<std::size_t>(sy) * mask->width + sx] != 0;
                      if (!keyed) canvas.setPixel(x, y, pixels.pixel(sx, sy));
                    });
}

}  // namespace native
}  // namespace brume
