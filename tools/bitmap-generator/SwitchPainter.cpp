#include "SwitchPainter.h"

#include "Palette.h"
#include "PanelLayout.h"
#include "Shapes.h"

namespace brume::bitmaps {
namespace {

// The toggle keeps to rows 3 to 19: a caption covers the top two rows of some
// switches and the oscillators' level knobs overlap the bottom of theirs.
constexpr double kTrackLeft = 6.0;
constexpr double kTrackRight = 30.0;
constexpr double kTrackTop = 6.0;
constexpr double kTrackBottom = 18.0;
constexpr double kThumbRadius = 5.2;

}  // namespace

Raster paintSwitch(bool on) {
  KeyedCanvas canvas(kSwitchWidth, kSwitchHeight, palette::kFace);
  const double radius = (kTrackBottom - kTrackTop) * 0.5;
  const double middle = (kTrackTop + kTrackBottom) * 0.5;

  canvas.paint(roundedRect(kTrackLeft + 0.3, kTrackTop + 1.0, kTrackRight + 0.3, kTrackBottom + 1.0, radius),
               solid(Colour{0.0, 0.0, 0.0}), Stroke{1.8, 0.28});
  // The track is a recess: darker at the top where the light does not reach.
  const Colour track = on ? palette::kLit : palette::kUnlit;
  canvas.paint(roundedRect(kTrackLeft, kTrackTop, kTrackRight, kTrackBottom, radius),
               verticalGradient(kTrackTop, shade(track, 0.62), kTrackBottom, shade(track, 1.0)));
  canvas.paint(roundedRect(kTrackLeft + 1.0, kTrackTop + 1.5, kTrackRight - 1.0, kTrackBottom - 1.0, radius - 1.0),
               verticalGradient(kTrackTop, shade(track, 0.78), kTrackBottom, shade(track, on ? 1.12 : 1.06)));

  const double thumbX = on ? kTrackRight - radius : kTrackLeft + radius;
  canvas.paint(circle(thumbX + 0.3, middle + 1.0, kThumbRadius), solid(Colour{0.0, 0.0, 0.0}), Stroke{1.6, 0.35});
  canvas.paint(circle(thumbX, middle, kThumbRadius),
               radialGradient(thumbX - 1.8, middle - 2.2, kThumbRadius * 2.0, shade(palette::kCapSilver, 1.3),
                              shade(palette::kCapSilver, 0.72)));
  return canvas.finish(palette::kKey);
}

Raster paintSwitchStrip() {
  Raster strip(kSwitchWidth, kSwitchHeight * 2, palette::kKey);
  strip.paste(paintSwitch(false), 0, 0);
  strip.paste(paintSwitch(true), 0, kSwitchHeight);
  return strip;
}

}  // namespace brume::bitmaps
