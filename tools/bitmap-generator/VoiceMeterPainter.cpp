#include "VoiceMeterPainter.h"

#include "Palette.h"
#include "PanelLayout.h"
#include "PanelSection.h"
#include "Shapes.h"

namespace brume::bitmaps {
namespace {

constexpr int kLampsPerRow = 4;
constexpr int kLamps = 16;
constexpr double kLampPitch = 8.0;
constexpr double kFirstLampX = 13.0;
constexpr double kFirstLampY = 9.5;
constexpr double kLampRadius = 2.7;

void paintLamp(Raster& raster, double x, double y, bool lit) {
  if (lit) {
    paintShape(raster, circle(x, y, kLampRadius + 1.0), solid(palette::kLit), Stroke{3.0, 0.35});
    paintShape(raster, circle(x, y, kLampRadius),
               radialGradient(x - 0.6, y - 0.8, kLampRadius * 1.4, mix(palette::kLit, Colour{255.0, 240.0, 210.0}, 0.7),
                              palette::kLit));
  } else {
    paintShape(raster, circle(x, y, kLampRadius),
               radialGradient(x - 0.6, y - 0.8, kLampRadius * 1.6, shade(palette::kUnlit, 1.25), palette::kUnlit));
  }
}

}  // namespace

Raster paintVoiceMeter(const FontLibrary& fonts, int soundingVoices) {
  Raster raster(kMeterSize, kMeterSize, palette::kFrame);
  paintSection(raster, PixelRect{1, 1, kMeterSize - 1, kMeterSize - 1});
  paintPlate(raster, PixelRect{6, 4, 44, 38}, 3.0);
  for (int lamp = 0; lamp < kLamps; ++lamp) {
    const double x = kFirstLampX + kLampPitch * (lamp % kLampsPerRow);
    const double y = kFirstLampY + kLampPitch * (lamp / kLampsPerRow);
    paintLamp(raster, x, y, lamp < soundingVoices);
  }
  const TextStyle labelStyle{FontWeight::regular, 9, 0.0};
  drawTextCentred(raster, fonts.render("voices", labelStyle), kMeterSize / 2, 46, palette::kLabel);
  return raster;
}

Raster paintVoiceMeterStrip(const FontLibrary& fonts) {
  Raster strip(kMeterSize, kMeterSize * kMeterImages, palette::kFrame);
  for (int voices = 0; voices < kMeterImages; ++voices)
    strip.paste(paintVoiceMeter(fonts, voices), 0, voices * kMeterSize);
  return strip;
}

}  // namespace brume::bitmaps
