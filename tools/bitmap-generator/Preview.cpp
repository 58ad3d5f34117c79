#include "Preview.h"

#include <cmath>

#include "Palette.h"
#include "PanelLayout.h"

namespace brume::bitmaps {
namespace {

void drawKeyed(Raster& target, const Raster& source, PixelRect sourceRect, int left, int top) {
  for (int y = sourceRect.top; y < sourceRect.bottom; ++y)
    for (int x = sourceRect.left; x < sourceRect.right; ++x) {
      const Colour pixel = source.at(x, y);
      if (!(pixel == palette::kKey)) target.set(left + x - sourceRect.left, top + y - sourceRect.top, pixel);
    }
}

// As the editor's text fields do: the background under the rectangle, then the
// text centred in it and clipped to it.
void drawField(Raster& target, const Raster& background, const FontLibrary& fonts, PixelRect rect, const char* text,
               Colour colour) {
  Raster field = background.crop(rect);
  drawTextInRect(field, fonts, text, TextStyle{FontWeight::regular, 10, 0.0},
                 PixelRect{0, 0, rect.right - rect.left, rect.bottom - rect.top}, colour);
  target.paste(field, rect.left, rect.top);
}

}  // namespace

Raster paintEditorPreview(const EditorBitmaps& bitmaps, const FontLibrary& fonts, int soundingVoices) {
  Raster preview = bitmaps.background;
  for (const PanelControl& control : kPanelControls) {
    const PixelRect bounds = controlRect(control);
    if (control.kind == kSwitchKind) {
      const int top = control.defaultValue > 0.5f ? kSwitchHeight : 0;
      drawKeyed(preview, bitmaps.switchStrip, PixelRect{0, top, kSwitchWidth, top + kSwitchHeight}, bounds.left,
                bounds.top);
    } else {
      // Frame choice of a 55-frame knob: values below 1 show frames 0..53, 1 shows frame 54.
      const int span = 54 * kKnobSize;
      int offset = static_cast<int>(control.defaultValue * span);
      if (offset < span) offset -= offset % kKnobSize;
      drawKeyed(preview, *bitmaps.knobStrips[control.kind], PixelRect{0, offset, kKnobSize, offset + kKnobSize},
                bounds.left, bounds.top);
    }
    if (control.hasCaption)
      drawField(preview, bitmaps.background, fonts, captionRect(control), control.caption, Colour{0.0, 0.0, 0.0});
    if (control.hasValueText)
      drawField(preview, bitmaps.background, fonts, valueTextRect(control), control.sampleText,
                Colour{255.0, 0.0, 0.0});
  }
  const int meterTop = soundingVoices * kMeterSize;
  preview.paste(bitmaps.voiceMeterStrip.crop(PixelRect{0, meterTop, kMeterSize, meterTop + kMeterSize}),
                kVoiceMeterRect.left, kVoiceMeterRect.top);
  return preview;
}

}  // namespace brume::bitmaps
