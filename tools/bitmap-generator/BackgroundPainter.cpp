#include "BackgroundPainter.h"

#include <string>

#include "Palette.h"
#include "PanelLayout.h"
#include "PanelSection.h"
#include "Shapes.h"
#include "VoiceMeterPainter.h"

namespace brume::bitmaps {
namespace {

// Parameter indexes of the controls that the panel's own labels and titles go with.
constexpr int kOscillatorSwitch[3] = {3, 8, 13};
constexpr int kOscillatorLevel[3] = {4, 9, 14};
constexpr int kOscillatorShape[3] = {5, 10, 15};
constexpr int kLfoFirstKnob[2] = {23, 28};            // period; aim, min and max follow
constexpr int kEventFirstKnob[4] = {33, 37, 41, 45};  // note; value and release follow
constexpr int kGlideRate = 52;
constexpr int kMasterVolume = 0;
constexpr int kMasterPan = 1;
constexpr int kAttack = 18;
constexpr int kRelease = 21;
constexpr int kCutoff = 49;
constexpr int kGlideSwitch = 51;

const TextStyle kLabelStyle{FontWeight::regular, 10, 0.0};
const TextStyle kSideLabelStyle{FontWeight::regular, 9, 0.0};
const TextStyle kTitleStyle{FontWeight::bold, 8, 0.8};

// Sections lie 2 pixels apart on the frame, each holding the whole of its
// controls' captions and value texts (the "rel" caption ends at x 550).
void paintSections(Raster& raster) {
  paintSection(raster, {1, 1, 149, 49});                                                             // master
  for (int row = 0; row < 3; ++row) paintSection(raster, {1, 51 + 50 * row, 199, 99 + 50 * row});    // oscillators
  for (int row = 0; row < 4; ++row) paintSection(raster, {201, 1 + 50 * row, 399, 49 + 50 * row});   // events
  paintSection(raster, {401, 1, 551, 49});                                                           // envelope
  paintSection(raster, {553, 1, 599, 49});                                                           // comp
  for (int row = 0; row < 2; ++row) paintSection(raster, {401, 51 + 50 * row, 649, 99 + 50 * row});  // LFOs
  paintSection(raster, {401, 151, 549, 199});                                                        // filter
  paintSection(raster, {551, 151, 649, 199});                                                        // glide
}

void paintNamePlate(Raster& raster, const FontLibrary& fonts) {
  const PixelRect plate{601, 1, 649, 49};
  paintShape(raster, roundedRect(plate.left, plate.top, plate.right, plate.bottom, 3.0),
             verticalGradient(plate.top, shade(palette::kScreen, 1.2), plate.bottom, palette::kScreen));
  const int centre = (plate.left + plate.right) / 2;
  drawTextCentred(raster, fonts.render("Brume", TextStyle{FontWeight::bold, 13, 0.0}), centre, 19, palette::kFace);
  drawTextCentred(raster, fonts.render("7", TextStyle{FontWeight::bold, 24, 0.0}), centre, 44, palette::kLit);
}

void label(Raster& raster, const FontLibrary& fonts, int row, const std::string& text) {
  drawTextInRect(raster, fonts, text, kLabelStyle, captionRect(kPanelControls[row]), palette::kLabel);
}

// Left-aligned just right of a control, centred on its middle.
void sideLabel(Raster& raster, const FontLibrary& fonts, int row, const std::string& text) {
  const PanelControl& control = kPanelControls[row];
  drawText(raster, fonts.render(text, kSideLabelStyle), control.x + 15, control.y + 3, palette::kLabel);
}

void title(Raster& raster, const FontLibrary& fonts, int centreX, int baseline, const std::string& text) {
  drawTextCentred(raster, fonts.render(text, kTitleStyle), centreX, baseline, palette::kTitle);
}

void paintLabels(Raster& raster, const FontLibrary& fonts) {
  title(raster, fonts, (kPanelControls[kMasterVolume].x + kPanelControls[kMasterPan].x) / 2, 45, "MASTER");
  title(raster, fonts, (kPanelControls[kAttack].x + kPanelControls[kRelease].x) / 2, 45, "ENVELOPE");
  title(raster, fonts, kPanelControls[kCutoff].x, 196, "FILTER");
  title(raster, fonts, (kPanelControls[kGlideSwitch].x + kPanelControls[kGlideRate].x) / 2, 196, "GLIDE");

  for (int oscillator = 0; oscillator < 3; ++oscillator) {
    const PixelRect spot = captionRect(kPanelControls[kOscillatorShape[oscillator]]);
    title(raster, fonts, (spot.left + spot.right) / 2, spot.bottom - 2, "OSC " + std::to_string(oscillator + 1));
    sideLabel(raster, fonts, kOscillatorSwitch[oscillator], "mlt");
    sideLabel(raster, fonts, kOscillatorLevel[oscillator], "vol");
  }
  for (const int first : kEventFirstKnob) {
    label(raster, fonts, first, "note");
    label(raster, fonts, first + 1, "value");
    label(raster, fonts, first + 2, "release");
  }
  for (const int first : kLfoFirstKnob) {
    label(raster, fonts, first, "period");
    label(raster, fonts, first + 1, "aim");
    label(raster, fonts, first + 2, "min");
    label(raster, fonts, first + 3, "max");
  }
  label(raster, fonts, kGlideRate, "rate");
}

}  // namespace

Raster paintBackground(const FontLibrary& fonts) {
  Raster raster(kEditorWidth, kEditorHeight, palette::kFrame);
  paintSections(raster);
  paintNamePlate(raster, fonts);
  paintLabels(raster, fonts);
  raster.paste(paintVoiceMeter(fonts, 0), kVoiceMeterRect.left, kVoiceMeterRect.top);
  return raster;
}

}  // namespace brume::bitmaps
