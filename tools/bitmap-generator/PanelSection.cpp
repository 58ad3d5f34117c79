#include "PanelSection.h"

#include "Palette.h"
#include "Shapes.h"

namespace brume::bitmaps {

void paintSection(Raster& raster, PixelRect rect) {
  const double left = rect.left, top = rect.top, right = rect.right, bottom = rect.bottom;
  constexpr double kRadius = 3.0;
  // Edge colours first, then the face inset by one pixel at top and bottom, so
  // one light row stays above and one shaded row below; sides stay plain.
  paintShape(raster, roundedRect(left, top, right, bottom, kRadius),
             verticalGradient(top + 0.5, palette::kFaceLight, top + 1.5, palette::kFace));
  paintShape(raster,
             intersection(roundedRect(left, top, right, bottom, kRadius),
                          [=](double, double y) { return (bottom - 1.0) - y; }),
             solid(palette::kFaceShade));
}

void paintPlate(Raster& raster, PixelRect rect, double radius) {
  const double left = rect.left, top = rect.top, right = rect.right, bottom = rect.bottom;
  // A recess: the face's light edge below it, its shade above.
  paintShape(raster, roundedRect(left, top + 1.0, right, bottom + 1.0, radius), solid(palette::kFaceLight));
  paintShape(raster, roundedRect(left, top, right, bottom, radius),
             verticalGradient(top, shade(palette::kScreen, 0.8), bottom, shade(palette::kScreen, 1.15)));
}

}  // namespace brume::bitmaps
