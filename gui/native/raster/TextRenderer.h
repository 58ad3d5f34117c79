#pragma once
// Single-line text with FreeType, laid out as GDI's DrawText lays out one
// line: whole-pixel advances, no kerning, the line box (ascent + descent)
// centred vertically, the result clipped to the rectangle. "Arial" and other
// faces use Liberation Sans; "Symbol" uses Liberation Serif with the letters
// mapped to Greek as the Symbol font has them. User-interface thread only.

#include <cstdint>

#include "gui/native/NativePlatform.h"
#include "gui/native/raster/Canvas.h"

namespace brume::raster {

struct TextExtent {
  std::int32_t width = 0;   // sum of the advances
  std::int32_t ascent = 0;  // baseline below the line top
  std::int32_t descent = 0;
};

struct TextPaint {
  Colour colour;
  bool opaque = false;  // fill the text box with `background` first
  Colour background;
};

// False when the font files cannot be read; text then draws nothing.
bool fontsAvailable();
TextExtent measureText(const native::FontDescription& font, const char* text);
void drawTextLine(Canvas& canvas, const native::FontDescription& font, const char* text, const Rect& area,
                  native::TextAlignment alignment, const TextPaint& paint);

}  // namespace brume::raster
