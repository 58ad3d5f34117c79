#include "KnobPainter.h"

#include <algorithm>
#include <cmath>

#include "Palette.h"
#include "PanelLayout.h"
#include "Shapes.h"

namespace brume::bitmaps {
namespace {

// The editor's captions cover the top six rows of a knob and its value texts the
// bottom five, so the body keeps to rows 6 to 26 around the centre.
constexpr double kCentre = 16.0;
constexpr double kSkirtRadius = 10.0;
constexpr double kCapRadius = 6.8;
constexpr double kTickRadius = 13.2;
constexpr double kPi = 3.14159265358979323846;
constexpr double kStartAngle = 1.25 * kPi;  // value 0, lower left
constexpr double kSweep = -1.5 * kPi;       // clockwise to the lower right
constexpr int kLastStep = 54;               // images 0..54 cover 0..1

Colour capColour(KnobStyle style) {
  switch (style) {
    case KnobStyle::blue:
      return palette::kCapBlue;
    case KnobStyle::silver:
      return palette::kCapSilver;
    case KnobStyle::amber:
      return palette::kCapAmber;
    case KnobStyle::teal:
      return palette::kCapTeal;
  }
  return palette::kCapBlue;
}

// Screen position at distance r from the centre along angle (mathematical: y up).
void polar(double angle, double r, double& x, double& y) {
  x = kCentre + std::cos(angle) * r;
  y = kCentre - std::sin(angle) * r;
}

}  // namespace

Raster paintKnob(KnobStyle style, double value) {
  KeyedCanvas canvas(kKnobSize, kKnobSize, palette::kFace);
  const Colour cap = capColour(style);
  const bool lightCap = style == KnobStyle::silver;

  // End marks of the travel, on the panel beside the knob.
  for (const double angle : {kStartAngle, kStartAngle + kSweep}) {
    double x = 0.0, y = 0.0;
    polar(angle, kTickRadius, x, y);
    canvas.paint(circle(x, y, 1.1), solid(palette::kTick));
  }

  // A soft shadow below and to the right, ending above row 27.
  canvas.paint(circle(kCentre + 0.3, kCentre + 0.8, kSkirtRadius), solid(Colour{0.0, 0.0, 0.0}), Stroke{1.2, 0.35});
  canvas.paint(circle(kCentre, kCentre, kSkirtRadius), verticalGradient(kCentre - kSkirtRadius, palette::kSkirtTop,
                                                                        kCentre + kSkirtRadius, palette::kSkirtBottom));
  // A thin dark groove between skirt and cap, then the cap lit from the upper left.
  canvas.paint(circle(kCentre, kCentre + 0.3, kCapRadius + 0.7), solid(shade(palette::kSkirtBottom, 0.7)));
  canvas.paint(circle(kCentre, kCentre, kCapRadius),
               radialGradient(kCentre - 2.6, kCentre - 3.2, kCapRadius * 1.9, shade(cap, 1.28), shade(cap, 0.78)));

  const double angle = kStartAngle + kSweep * std::clamp(value, 0.0, 1.0);
  double innerX = 0.0, innerY = 0.0, rimX = 0.0, rimY = 0.0, outerX = 0.0, outerY = 0.0;
  polar(angle, 2.0, innerX, innerY);
  polar(angle, kCapRadius - 0.6, rimX, rimY);
  polar(angle, kSkirtRadius - 1.1, outerX, outerY);
  const Colour onCap = lightCap ? palette::kPointerOnSilver : palette::kPointer;
  canvas.paint(capsule(innerX, innerY, rimX, rimY, 0.85), solid(onCap));
  canvas.paint(capsule(rimX, rimY, outerX, outerY, 0.8), solid(palette::kPointer));
  return canvas.finish(palette::kKey);
}

Raster paintKnobStrip(KnobStyle style) {
  Raster strip(kKnobSize, kKnobSize * kKnobImages, palette::kKey);
  for (int image = 0; image < kKnobImages; ++image) {
    const int step = std::min(image, kLastStep);
    strip.paste(paintKnob(style, static_cast<double>(step) / kLastStep), 0, image * kKnobSize);
  }
  return strip;
}

}  // namespace brume::bitmaps
