#pragma once
// Anti-aliased shapes described by signed distance: a shape is a function that
// gives, for a point in pixel coordinates, its distance to the outline (negative
// inside). Pixel (x, y) covers the square from (x, y) to (x + 1, y + 1), so its
// centre is (x + 0.5, y + 0.5). A pixel's coverage is taken from the distance at
// its centre over an edge one pixel wide (wider for soft shapes such as shadows).

#include <functional>
#include <vector>

#include "Raster.h"

namespace brume::bitmaps {

using Shape = std::function<double(double x, double y)>;
using Paint = std::function<Colour(double x, double y)>;

Shape circle(double centreX, double centreY, double radius);
// A line from (x0, y0) to (x1, y1) with round ends, halfWidth on each side.
Shape capsule(double x0, double y0, double x1, double y1, double halfWidth);
Shape roundedRect(double left, double top, double right, double bottom, double radius);
Shape intersection(Shape a, Shape b);

Paint solid(Colour colour);
// top at y = y0, bottom at y = y1, clamped outside.
Paint verticalGradient(double y0, Colour top, double y1, Colour bottom);
// inner at the centre, outer at radius and beyond.
Paint radialGradient(double centreX, double centreY, double radius, Colour inner, Colour outer);

struct Stroke {
  double edge = 1.0;     // width of the anti-aliased edge in pixels
  double opacity = 1.0;  // of the whole shape
};

// Lays the shape over the raster with its anti-aliased coverage.
void paintShape(Raster& raster, const Shape& shape, const Paint& paint, Stroke stroke = {});

// A raster for images drawn keyed: it starts as the colour the image will sit on
// (so edges blend into that colour, not into the key), remembers which pixels any
// shape reached and turns all the others into the key colour at the end.
class KeyedCanvas {
 public:
  KeyedCanvas(int width, int height, Colour underlay);

  void paint(const Shape& shape, const Paint& paint, Stroke stroke = {});
  Raster finish(Colour key) const;

 private:
  Raster raster;
  std::vector<bool> reached;
};

}  // namespace brume::bitmaps
