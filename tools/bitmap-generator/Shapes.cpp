#include "Shapes.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace brume::bitmaps {
namespace {

double coverageAt(const Shape& shape, int x, int y, double edge) {
  const double distance = shape(x + 0.5, y + 0.5);
  return std::clamp(0.5 - distance / edge, 0.0, 1.0);
}

template <typename OnPixel>
void forEachCovered(int width, int height, const Shape& shape, Stroke stroke, OnPixel onPixel) {
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const double coverage = coverageAt(shape, x, y, stroke.edge) * stroke.opacity;
      if (coverage > 0.0) onPixel(x, y, coverage);
    }
}

}  // namespace

Shape circle(double centreX, double centreY, double radius) {
  return [=](double x, double y) { return std::hypot(x - centreX, y - centreY) - radius; };
}

Shape capsule(double x0, double y0, double x1, double y1, double halfWidth) {
  return [=](double x, double y) {
    const double dx = x1 - x0;
    const double dy = y1 - y0;
    const double lengthSquared = dx * dx + dy * dy;
    const double t = lengthSquared > 0.0 ? std::clamp(((x - x0) * dx + (y - y0) * dy) / lengthSquared, 0.0, 1.0) : 0.0;
    return std::hypot(x - (x0 + t * dx), y - (y0 + t * dy)) - halfWidth;
  };
}

Shape roundedRect(double left, double top, double right, double bottom, double radius) {
  const double centreX = (left + right) * 0.5;
  const double centreY = (top + bottom) * 0.5;
  const double halfWidth = (right - left) * 0.5 - radius;
  const double halfHeight = (bottom - top) * 0.5 - radius;
  return [=](double x, double y) {
    const double qx = std::abs(x - centreX) - halfWidth;
    const double qy = std::abs(y - centreY) - halfHeight;
    const double outside = std::hypot(std::max(qx, 0.0), std::max(qy, 0.0));
    return outside + std::min(std::max(qx, qy), 0.0) - radius;
  };
}

Shape intersection(Shape a, Shape b) {
  return [a = std::move(a), b = std::move(b)](double x, double y) { return std::max(a(x, y), b(x, y)); };
}

Paint solid(Colour colour) {
  return [colour](double, double) { return colour; };
}

Paint verticalGradient(double y0, Colour top, double y1, Colour bottom) {
  return [=](double, double y) { return mix(top, bottom, std::clamp((y - y0) / (y1 - y0), 0.0, 1.0)); };
}

Paint radialGradient(double centreX, double centreY, double radius, Colour inner, Colour outer) {
  return [=](double x, double y) {
    return mix(inner, outer, std::clamp(std::hypot(x - centreX, y - centreY) / radius, 0.0, 1.0));
  };
}

void paintShape(Raster& raster, const Shape& shape, const Paint& paint, Stroke stroke) {
  forEachCovered(raster.width(), raster.height(), shape, stroke,
                 [&](int x, int y, double coverage) { raster.blend(x, y, paint(x + 0.5, y + 0.5), coverage); });
}

KeyedCanvas::KeyedCanvas(int width, int height, Colour underlay)
    : raster(width, height, underlay),
      reached(static_cast<std::size_t>(raster.width()) * static_cast<std::size_t>(raster.height()), false) {}

void KeyedCanvas::paint(const Shape& shape, const Paint& paint, Stroke stroke) {
  forEachCovered(raster.width(), raster.height(), shape, stroke, [&](int x, int y, double coverage) {
    raster.blend(x, y, paint(x + 0.5, y + 0.5), coverage);
    reached[static_cast<std::size_t>(y) * static_cast<std::size_t>(raster.width()) + static_cast<std::size_t>(x)] =
        true;
  });
}

Raster KeyedCanvas::finish(Colour key) const {
  Raster result = raster;
  for (int y = 0; y < raster.height(); ++y)
    for (int x = 0; x < raster.width(); ++x)
      if (!reached[static_cast<std::size_t>(y) * static_cast<std::size_t>(raster.width()) +
                   static_cast<std::size_t>(x)])
        result.set(x, y, key);
  return result;
}

}  // namespace brume::bitmaps
